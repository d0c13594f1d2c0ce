// The companion windows of a plot window: notes (also through the plot
// file), the colour window with its RGB dialog, the help viewer with every
// help text the window kinds name, and the keyboard poll.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window_registry.h"
#include "platform/app.h"
#include "platform/dialog.h"
#include "platform/keys.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "plot2d/plot2_win.h"
#include "shell/col_win.h"
#include "shell/note_win.h"
#include "shell/model/notes_block.h"
#include "shell/plot_frame.h"
#include "shell/text_win.h"
#include "shell/zor_win.h"
#include "support/plot_window_test.h"
#include "support/test_env.h"

namespace kv {
namespace {

class CompanionWin : public TZORWin {
 public:
  CompanionWin() : TZORWin(nullptr, "Unbenannt1.kv2") {
    LoadSettingsOnSetup = 0;
    SaveSettingsOnClose = 0;
    HasNotes = 1;
  }
  void EvViewNotify(std::int32_t code) override { viewCodes.push_back(code); }
  std::vector<std::int32_t> viewCodes;
};

class CompanionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    w_ = new CompanionWin;
    w_->Create();
    w_->Show(plat::SW_SHOWNORMAL);
  }
  void TearDown() override {
    if (!w_->IsDestroyed()) w_->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  static std::string LastMessage() {
    const auto& m = plat::testing::Messages();
    return m.empty() ? std::string() : m.back().text;
  }
  CompanionWin* w_ = nullptr;
};

// ---- notes ----

TEST_F(CompanionTest, NotesShowHideAndMarkTheWindowModified) {
  ASSERT_NE(w_->NotesWindow, nullptr);
  EXPECT_FALSE(w_->NotesWindow->IsVisible()) << "created hidden";
  EXPECT_EQ(w_->NotesWindow->GetCaption(), "Notizen [Unbenannt1.kv2]");
  w_->Modified = 0;
  w_->Command(75);
  EXPECT_TRUE(w_->NotesWindow->IsVisible());
  EXPECT_EQ(w_->Modified, 1);

  w_->NotesWindow->Edit()->ReplaceSelection("Merke: a > 0");
  w_->Modified = 0;
  w_->NotesWindow->Command(357);  // Schließen: no question of its own
  EXPECT_FALSE(w_->NotesWindow->IsVisible());
  EXPECT_EQ(w_->Modified, 1) << "closing the notes marks the plot modified";
  w_->Command(75);
  EXPECT_EQ(w_->GetNotes(), "Merke: a > 0") << "the notes survive closing and reopening";
}

TEST_F(CompanionTest, EditedNotesMakeTheWindowAskBeforeClosing) {
  w_->Modified = 0;
  w_->NotesWindow->Edit()->ReplaceSelection("neu");
  plat::testing::ExpectDialog("YNCMBOX", [](plat::Dialog& d) { d.Press(2); });
  EXPECT_FALSE(w_->CanClose());
  // Writing the notes clears their mark.
  ByteWriter out;
  w_->WriteNotes(out);
  EXPECT_FALSE(w_->NotesWindow->TextModified());
}

TEST_F(CompanionTest, NotesBlocksAndTheProtection) {
  ByteWriter empty;
  w_->SetNotes("");
  w_->WriteNotes(empty);
  EXPECT_EQ(empty.Data(), (std::vector<std::uint8_t>{1, 0, 0})) << "length 1 and the zero byte";

  ByteWriter out;
  w_->SetNotes("Zeile\r\nÄnderung");
  w_->WriteNotes(out);
  w_->SetNotes("anders");
  ByteReader in(out.Data());
  ASSERT_TRUE(w_->ReadNotes(in));
  EXPECT_EQ(w_->GetNotes(), "Zeile\r\nÄnderung");

  // Protected notes with a wrong password stay hidden.
  w_->NotesWindow->Hide();
  w_->ProtectionMask = kProtectNotes;
  w_->Password = "geheim";
  w_->Unlocked = 0;
  plat::testing::AnswerDialog("ASKPW", {{211, "falsch"}}, 1);
  w_->Command(75);
  EXPECT_FALSE(w_->NotesWindow->IsVisible());
}

class NotesFileTest : public kvtest::PlotWindowTest<TPlot2Win> {
 protected:
  // A 2D window with notes, as the main frame makes it.
  TPlot2Win* MakeWindowWithNotes(const std::string& caption) {
    auto* w = new TPlot2Win(nullptr, caption);
    w->FileVersion = 33;
    w->HasNotes = 1;
    windows_.push_back(w);
    EXPECT_TRUE(w->Create());
    w->Show(plat::SW_SHOW);
    Settle(w);
    return w;
  }
};

TEST_F(NotesFileTest, NotesTravelInThePlotFileAndCaptionTheNewName) {
  const std::string dir = kvtest::MakeTempDir("notes");
  TPlot2Win* a = MakeWindowWithNotes("Unbenannt1.kv2");
  ASSERT_NE(a->NotesWindow, nullptr);
  a->Command(75);
  a->NotesWindow->Edit()->ReplaceSelection("Stunde 3:\r\nParabeln verschieben");
  plat::testing::ExpectFileDialog(dir + "parabel.kv2");
  a->Command(58);
  EXPECT_EQ(a->NotesWindow->GetCaption(), "Notizen [parabel.kv2]");
  a->Destroy();
  plat::App::DeleteDestroyedWindows();
  windows_.clear();

  TPlot2Win* b = MakeWindowWithNotes("Unbenannt2.kv2");
  b->FileData.FileName = dir + "parabel.kv2";
  ASSERT_EQ(b->OpenFile(), 0);
  EXPECT_EQ(b->GetNotes(), "Stunde 3:\r\nParabeln verschieben");
  EXPECT_TRUE(b->NotesWindow->IsVisible()) << "open when saved";
  EXPECT_EQ(b->NotesWindow->GetCaption(), "Notizen [parabel.kv2]");
  EXPECT_FALSE(b->NotesWindow->TextModified());
}

// "&Inventar ..." lists the entries in the notes window after the notes the
// user wrote; a listing shown again replaces the one before, and the
// inventory's protection keeps the listing hidden.
TEST_F(NotesFileTest, TheInventoryListingFollowsTheUsersNotes) {
  TPlot2Win* w = MakeWindowWithNotes("Unbenannt1.kv2");
  ASSERT_NE(w->NotesWindow, nullptr);
  const int i = w->AppendEquation(kKindExplicit, -5, 5, {}, "sin(x)");
  w->CompileEquation(i);
  w->SetNotes("Stunde 3");
  EXPECT_TRUE(w->IsMenuItemEnabled(kCmInventoryText));
  w->Command(kCmInventoryText);
  EXPECT_TRUE(w->NotesWindow->IsVisible());
  EXPECT_EQ(w->NotesWindow->GetCaption(), "Inventar [Unbenannt1.kv2]");
  const std::string listing = w->InventoryText();
  EXPECT_NE(listing.find("sin(x)"), std::string::npos);
  EXPECT_EQ(w->GetNotes(), "Stunde 3\r\n" + listing);
  EXPECT_FALSE(w->NotesWindow->TextModified());
  w->Equation(i).formulaText[1] = "cos(x)";
  w->CompileEquation(i);
  w->Command(kCmInventoryText);
  EXPECT_EQ(w->GetNotes(), "Stunde 3\r\n" + w->InventoryText());

  w->NotesWindow->Hide();
  w->ProtectionMask = kProtectInventory;
  w->Password = "geheim";
  w->Unlocked = 0;
  plat::testing::AnswerDialog("ASKPW", {{211, "falsch"}}, 1);
  w->Command(kCmInventoryText);
  EXPECT_FALSE(w->NotesWindow->IsVisible());
}

// ---- colour window ----

TEST_F(CompanionTest, TheColourWindowIsMadeWhenFirstAskedForAndReused) {
  EXPECT_EQ(w_->ColourWindow, nullptr);
  w_->ChooseColourForSlot(3);
  TColWin* first = w_->ColourWindow;
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(w_->IsColourWindowVisible());
  first->Command(357);
  EXPECT_FALSE(w_->IsColourWindowVisible());
  w_->ChooseColourForSlot(4);
  EXPECT_EQ(w_->ColourWindow, first);
  EXPECT_EQ(first->EditedIndex, &w_->ColourSlots[4]);
}

TEST_F(CompanionTest, AClickOnACellPicksItsColour) {
  w_->ColourTargets[5] = 9;
  w_->ChooseColourForSlot(5);
  TColWin* c = w_->ColourWindow;
  c->MoveWindow(100, 100, 200, 300);
  c->UpdateWindow();
  ASSERT_GT(c->CellWidth, 0);
  ASSERT_GT(c->CellHeight, 0);
  const int cw = c->CellWidth;
  const int ch = c->CellHeight;
  struct Case {
    int column, cellRow;  // cellRow = y / CellHeight
    int expected;         // -1: nothing picked
  };
  const Case cases[] = {
      {1, 2, 0},  {2, 2, -1}, {6, 3, 6},  {1, 3, 1},  {6, 12, 60},
      {0, 5, -1}, {7, 5, -1}, {3, 13, -1}, {4, 1, -1},
  };
  for (const Case& k : cases) {
    w_->ColourSlots[5] = 33;
    c->EvLButtonDown(0, plat::Point{k.column * cw + cw / 2, k.cellRow * ch + ch / 2});
    EXPECT_EQ(w_->ColourSlots[5], k.expected < 0 ? 33 : k.expected) << k.column << "," << k.cellRow;
  }
  EXPECT_EQ(w_->viewCodes.back(), 9);
}

TEST_F(CompanionTest, AClickBeforeTheFirstPaintDividesByNothing) {
  w_->ChooseColourForSlot(2);
  TColWin* c = w_->ColourWindow;
  c->CellWidth = 0;
  c->CellHeight = 0;
  c->EvLButtonDown(0, plat::Point{5, 5});
  c->EvRButtonDown(0, plat::Point{5, 5});
  SUCCEED();
}

TEST_F(CompanionTest, RgbValuesChangeTheOwnersTableWithinLimits) {
  w_->ColourSlots[6] = 20;
  w_->ChooseColourForSlot(6);
  TColWin* c = w_->ColourWindow;
  c->UpdateWindow();
  // A right click on the sample opens the dialog.
  c->EvRButtonDown(0, plat::Point{3 * c->CellWidth + 1, c->CellHeight + 1});
  ASSERT_TRUE(c->RGBDialog->IsVisible());
  const plat::Colour before = w_->ColourTable[20];

  plat::testing::ClearMessages();
  c->RGBDialog->SetItemText(211, "255");
  c->RGBDialog->SetItemText(212, "0");
  c->RGBDialog->SetItemText(213, "300");
  c->RGBDialog->Press(91);
  EXPECT_EQ(LastMessage(), "jenseits der Grenzen");
  EXPECT_EQ(w_->ColourTable[20], before);

  c->RGBDialog->SetItemText(213, "0");
  c->RGBDialog->SetItemText(212, "128");
  c->RGBDialog->Press(91);
  EXPECT_EQ(w_->ColourTable[20], plat::Rgb(255, 128, 0));

  // Black and white are not edited: picking one hides the dialog, and a
  // right click does not bring it back.
  c->PickCell(1, 0);
  EXPECT_FALSE(c->RGBDialog->IsVisible());
  c->EvRButtonDown(0, plat::Point{3 * c->CellWidth + 1, c->CellHeight + 1});
  EXPECT_FALSE(c->RGBDialog->IsVisible());
}

TEST_F(CompanionTest, ClosingACompanionWindowHidesIt) {
  // The owner keeps them: a close box must not destroy them under it.
  w_->ShowHelpText("KVFILEH", "");
  w_->ChooseColourForSlot(1);
  w_->Command(75);
  for (plat::Window* c : {static_cast<plat::Window*>(w_->HelpWindow), static_cast<plat::Window*>(w_->ColourWindow),
                          static_cast<plat::Window*>(w_->NotesWindow)}) {
    c->EvClose();
    EXPECT_FALSE(c->IsVisible());
    EXPECT_FALSE(c->IsDestroyed());
  }
  w_->ShowHelpText("KVFORMH", "");
  EXPECT_TRUE(w_->HelpWindow->IsVisible());
}

// ---- help ----

TEST_F(CompanionTest, AnUnknownHelpTextGivesMessage11AndChangesNothing) {
  w_->ShowHelpText("KVFILEH", "");
  const std::string shown = w_->HelpWindow->GetText();
  plat::testing::ClearMessages();
  w_->ShowHelpText("GIBTESNICHT", "");
  EXPECT_EQ(LastMessage(), "Datei ist nicht zu öffnen");
  EXPECT_EQ(w_->HelpWindow->GetText(), shown);
}

class HelpTopicsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowCreators();
    kvtest::ClearSettingsFolder();
    frame_ = new TPlotFrame(nullptr, "Kurvato");
    frame_->Create();
  }
  void TearDown() override {
    if (!frame_->IsDestroyed()) frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  TPlotFrame* frame_ = nullptr;
};

TEST_F(HelpTopicsTest, EveryHelpTextAWindowKindNamesExistsAndOpens) {
  std::vector<TFileMsgWin*> kinds = {frame_->New2DWindow(""),      frame_->New3DWindow(""),
                                     frame_->NewPlanetWindow(""),  frame_->NewLogWindow("", 1),
                                     frame_->NewQuizWindow(),      frame_->NewMappingPair("", 0)};
  kinds.push_back(frame_->AuxWindow);
  for (TFileMsgWin* k : kinds) {
    auto* z = dynamic_cast<TZORWin*>(k);
    ASSERT_NE(z, nullptr);
    SCOPED_TRACE(z->MenuName());
    ASSERT_FALSE(z->HelpName.empty());
    std::vector<std::pair<int, std::string>> commands = {{354, z->HelpName}};
    for (int i = 0; i < 13; ++i) {
      const std::string& name = z->HelpNames[static_cast<std::size_t>(i)];
      if (name.empty()) continue;
      commands.emplace_back(330 + i, name);
      EXPECT_TRUE(z->HasMenuItem(330 + i)) << "a menu offers the help of " << name;
    }
    for (const auto& [id, name] : commands) {
      const auto text = plat::res::HelpText(name);
      ASSERT_TRUE(text.has_value()) << name;
      EXPECT_GT(text->size(), 300u) << name;
      plat::testing::ClearMessages();
      z->Command(id);
      EXPECT_TRUE(plat::testing::Messages().empty()) << name;
      EXPECT_TRUE(z->HelpWindow->IsVisible()) << name;
      EXPECT_EQ(z->HelpWindow->GetText(), CutHelpText(*text)) << name;
    }
  }
}

TEST_F(HelpTopicsTest, EveryEquationKindsTopicIsAHeadingOfItsHelpText) {
  struct Group {
    const char* help;
    int first, last;
  };
  const Group groups[] = {{"KV2HELP", 1201, 1218}, {"KV3HELP", 1301, 1316}, {"KV2MAPH", 1401, 1402}};
  TZORWin* w = dynamic_cast<TZORWin*>(frame_->New2DWindow(""));
  ASSERT_NE(w, nullptr);
  for (const Group& g : groups) {
    for (int id = g.first; id <= g.last; ++id) {
      if (!plat::res::HasString(id)) continue;
      const std::string topic = plat::res::String(id);
      SCOPED_TRACE(std::string(g.help) + ": " + topic);
      w->ShowHelpText(g.help, topic);
      TTextWin* h = w->HelpWindow;
      const int at = h->Edit()->SelectionStart();
      ASSERT_NE(h->Edit()->SelectionEnd(), at) << "found";
      const std::string text = h->GetText();
      EXPECT_EQ(FindFolded(text, topic, 0), at) << "the first occurrence";
      const std::string before = CutToChars(text, static_cast<std::size_t>(at));
      EXPECT_TRUE(before.empty() || before.back() == '\n') << "at the start of a line";
      EXPECT_EQ(h->SearchText, topic) << "Weitersuchen goes on with it";
    }
  }
}

// ---- the keyboard poll ----

TEST_F(CompanionTest, ThePollSeesKeysDuringALongLoop) {
  EXPECT_EQ(w_->PollKey(), 0) << "no key waiting";
  int seen = 0;
  int rounds = 0;
  for (; rounds < 1000 && seen == 0; ++rounds) {
    if (rounds == 40) plat::testing::InjectKey(*w_, plat::VK_ESCAPE, 0, 27);
    seen = w_->PollKey();
  }
  EXPECT_EQ(seen, 27);
  EXPECT_EQ(rounds, 41);

  plat::testing::InjectKey(*w_, 'A');
  EXPECT_EQ(w_->PollKey(), 65) << "a";
  plat::testing::InjectKey(*w_, 'Q');
  EXPECT_EQ(w_->PollKey(), 81);
  // An accelerator stops the work and runs its command: Ctrl+P prints.
  plat::testing::ExpectPrintDialog(std::nullopt);
  plat::testing::InjectKey(*w_, 'P', plat::MOD_CONTROL);
  EXPECT_EQ(w_->PollKey(), 65);
  const auto& log = plat::testing::DialogLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "PRINTDIALOG");
  EXPECT_TRUE(plat::testing::Messages().empty()) << "a cancelled print dialog needs no word";
}

}  // namespace
}  // namespace kv
