// Text windows: search, file in and out, the 64000-character cut, the
// minus sign, the clipboard commands and the printout of a text.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <sys/stat.h>

#include "platform/app.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "platform/dialog.h"
#include "platform/testing.h"
#include "shell/text_win.h"
#include "support/test_env.h"

namespace kv {
namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f << bytes;
}

class TextWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = kvtest::MakeTempDir("textwin");
    plat::clipboard::Clear();
    w_ = new TTextWin(nullptr, "Text", dir_ + "text.txt", "", 4);
    w_->Create();
    w_->Show(plat::SW_SHOWNORMAL);
  }
  void TearDown() override {
    if (!w_->IsDestroyed()) w_->Destroy();
    plat::App::DeleteDestroyedWindows();
    plat::clipboard::Clear();
  }
  std::string LastMessage() const {
    const auto& m = plat::testing::Messages();
    return m.empty() ? std::string() : m.back().text;
  }
  int SelStart() const { return w_->Edit()->SelectionStart(); }
  int SelEnd() const { return w_->Edit()->SelectionEnd(); }

  std::string dir_;
  TTextWin* w_ = nullptr;
};

TEST(TextHelpers, FindFoldedIgnoresCaseAlsoOfUmlauts) {
  struct Case {
    const char* text;
    const char* pattern;
    int from;
    int expected;
  };
  const Case cases[] = {
      {"xabcx", "ABC", 0, 1},       {"xabcx", "ABC", 2, -1},
      {"abc", "abc", 0, 0},         // a match that ends with the text
      {"Größe und GRÖSSE", "grö", 1, 10},
      {"ÄÖÜ äöü", "äöü", 0, 0},     {"x", "", 0, -1},
      {"zwei\r\nZeilen", "zeilen", 0, 6},
  };
  for (const Case& c : cases) EXPECT_EQ(FindFolded(c.text, c.pattern, c.from), c.expected) << c.text << " / " << c.pattern;
}

TEST(TextHelpers, HelpTextsAreCutAtTheMarkerAndAt64000Characters) {
  const std::string before(500, 'h');
  EXPECT_EQ(CutHelpText(before + "???" + "danach"), before);
  EXPECT_EQ(CutHelpText("ohne Marke"), "ohne Marke");
  const std::string longText(70000, 'x');
  EXPECT_EQ(CutHelpText(longText).size(), 64000u);
  // Characters, not bytes: 64000 umlauts stay whole.
  std::string umlauts;
  for (int i = 0; i < 64010; ++i) umlauts += "ä";
  EXPECT_EQ(CutHelpText(umlauts).size(), 128000u);
}

TEST(TextHelpers, FileBytesAreUtf8OrWindows1252) {
  EXPECT_EQ(TextFromFileBytes("Gr\xC3\xB6\xC3\x9F" "e"), "Größe");
  EXPECT_EQ(TextFromFileBytes("Gr\xF6\xDF" "e"), "Größe") << "Windows-1252";
  EXPECT_EQ(TextFromFileBytes(std::string("Text\0Rest", 9)), "Text") << "ends at the zero byte";
  // A UTF-8 character cut at the end of what was read is dropped, not
  // taken for Windows-1252.
  EXPECT_EQ(TextFromFileBytes("ab\xC3"), "ab");
}

TEST_F(TextWinTest, SearchFindsIgnoringCaseWrapsToTheStartAndFindsAgain) {
  w_->SetText("xabcx");
  w_->SearchText = "ABC";
  w_->Command(352);  // Weitersuchen
  EXPECT_EQ(SelStart(), 1);
  EXPECT_EQ(SelEnd(), 4);
  plat::testing::ClearMessages();
  w_->Command(352);
  EXPECT_EQ(LastMessage(), "nicht zu finden");
  EXPECT_EQ(SelStart(), 0);
  EXPECT_EQ(SelEnd(), 0);
  w_->Command(352);
  EXPECT_EQ(SelStart(), 1) << "found again from the start";

  // The search command keeps its text also when nothing is found; an
  // empty text has nothing to do.
  plat::testing::AnswerDialog("ONEINPUT", {{211, "gibt es nicht"}}, 1);
  w_->Command(353);
  EXPECT_EQ(w_->SearchText, "gibt es nicht");
  EXPECT_EQ(LastMessage(), "nicht zu finden");
  plat::testing::AnswerDialog("ONEINPUT", {{211, ""}}, 1);
  w_->Command(353);
  EXPECT_EQ(LastMessage(), "nichts zu tun");
  EXPECT_FALSE(w_->QueryCommand(352).enabled) << "nothing to search again";
}

TEST_F(TextWinTest, AFoundLineStandsFourthFromTheTop) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += (i == 100 ? "Ziel" : "Zeile " + std::to_string(i)) + "\r\n";
  w_->SetText(text);
  w_->MoveWindow(10, 10, 400, 200);
  plat::App::ProcessEvents();
  ASSERT_TRUE(w_->FindText("ziel"));
  EXPECT_EQ(w_->Edit()->LineFromChar(SelEnd()), 100);
  EXPECT_EQ(w_->Edit()->FirstVisibleLine(), 97);
  w_->Command(53);  // Von vorne
  EXPECT_EQ(w_->Edit()->FirstVisibleLine(), 0);
  EXPECT_EQ(SelStart(), 0);
}

TEST_F(TextWinTest, ASavedFileIsTheTextWithCrLfAndAClosingZero) {
  w_->SetText("Zeile 1\nZeile 2 mit ä");
  EXPECT_FALSE(w_->TextModified());
  EXPECT_EQ(w_->GetText(), "Zeile 1\r\nZeile 2 mit ä");
  plat::testing::ExpectFileDialog(dir_ + "gespeichert.txt");
  w_->Command(58);  // Speichern unter
  const std::string bytes = ReadBytes(dir_ + "gespeichert.txt");
  EXPECT_EQ(bytes, std::string("Zeile 1\r\nZeile 2 mit ä") + '\0');

  TTextWin* other = new TTextWin(nullptr, "Text", "", "", 4);
  other->Create();
  other->FileData.FileName = dir_ + "gespeichert.txt";
  EXPECT_EQ(other->OpenFile(), 0);
  EXPECT_EQ(other->GetText(), "Zeile 1\r\nZeile 2 mit ä");
  EXPECT_EQ(other->Named, 1);
  other->FileData.FileName = dir_ + "fehlt.txt";
  EXPECT_EQ(other->OpenFile(), 11);
  other->Destroy();

  // Unwritable, or a FIFO that is no file to replace: Save says message 12
  // once; opening a FIFO fails at once instead of waiting for a writer.
  ASSERT_EQ(::mkfifo((dir_ + "fifo.txt").c_str(), 0600), 0);
  for (const std::string& name : {dir_ + "kein/ordner.txt", dir_ + "fifo.txt"}) {
    SCOPED_TRACE(name);
    w_->FileData.FileName = name;
    w_->Named = 1;
    plat::testing::ClearMessages();
    w_->Command(57);
    ASSERT_EQ(plat::testing::Messages().size(), 1u);
    EXPECT_EQ(LastMessage(), "Datei ist nicht zu speichern");
  }
  EXPECT_EQ(w_->OpenFile(), 11);
}

TEST_F(TextWinTest, ALongFileIsReadAsItsFirst64000Characters) {
  WriteBytes(dir_ + "lang.txt", std::string(64100, 'a'));
  w_->FileData.FileName = dir_ + "lang.txt";
  ASSERT_EQ(w_->OpenFile(), 0);
  EXPECT_EQ(w_->GetText().size(), 64000u);
  // The user cannot type beyond the limit either.
  w_->Edit()->SetSelection(64000, 64000);
  w_->Edit()->ReplaceSelection("mehr");
  EXPECT_EQ(w_->Edit()->Length(), 64000);
}

TEST_F(TextWinTest, MinusSignReplacesHyphensAndClearsTheModifiedMark) {
  w_->SetText("a-b, c - d");
  w_->Edit()->SetSelection(0, 0);
  w_->Edit()->ReplaceSelection("x");
  EXPECT_TRUE(w_->TextModified());
  plat::testing::ExpectDialog("ONEINPUT", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetCaption(), "Bindestrich verlängern");
    EXPECT_EQ(d.GetItemText(211), "150");
    d.Press(plat::IDOK);
  });
  w_->Command(92);
  EXPECT_EQ(w_->GetText(), "xa\u2013b, c \u2013 d") << "150 is the en dash";
  EXPECT_FALSE(w_->TextModified());

  for (const char* refused : {"1", "256", "abc"}) {
    plat::testing::ClearMessages();
    plat::testing::AnswerDialog("ONEINPUT", {{211, refused}}, 1);
    w_->Command(92);
    EXPECT_EQ(LastMessage(), "unverständlich") << refused;
  }
}

TEST_F(TextWinTest, ClipboardCommandsFollowTheSelection) {
  w_->SetText("eins zwei drei");
  EXPECT_FALSE(w_->QueryCommand(95).enabled);
  EXPECT_FALSE(w_->QueryCommand(99).enabled) << "nothing to paste";
  w_->Edit()->SetSelection(5, 9);
  ASSERT_TRUE(w_->QueryCommand(96).enabled);
  w_->Command(96);  // Ausschneiden
  EXPECT_EQ(*plat::clipboard::GetText(), "zwei");
  EXPECT_EQ(w_->TextBuffer, "eins  drei");
  w_->Edit()->SetSelection(0, 0);
  w_->Command(99);  // Einfügen
  EXPECT_EQ(w_->TextBuffer, "zweieins  drei");
  w_->Command(119);  // Alles markieren
  EXPECT_EQ(SelEnd(), w_->Edit()->Length());
}

TEST_F(TextWinTest, CloseAsksAboutAnEditedText) {
  w_->SetText("neu");
  w_->Edit()->ReplaceSelection("ganz ");
  plat::testing::ExpectDialog("YNCMBOX", [](plat::Dialog& d) { d.Press(2); });
  w_->Command(357);
  EXPECT_TRUE(w_->IsVisible()) << "cancelled";
  plat::testing::ExpectDialog("YNCMBOX", [](plat::Dialog& d) { d.Press(89); });
  w_->Command(357);
  EXPECT_FALSE(w_->IsVisible());
  EXPECT_EQ(w_->Hidden, 1);
}

// ---- the printout of a text ----

struct PrintedPages {
  int pages = 0;
  std::vector<int> linesPerPage;
};

// Prints through a page-sized bitmap DC of a 96 dpi letter page and counts
// the text lines each page writes.
PrintedPages PrintText(const std::string& text) {
  plat::DeviceCaps caps;
  caps.logPixelsX = caps.logPixelsY = 96;
  caps.horzRes = caps.physicalWidth = 816;
  caps.vertRes = caps.physicalHeight = 1056;
  caps.horzSizeMm = 216;
  caps.vertSizeMm = 279;
  plat::LogFont font;
  font.SetFace("Courier New");
  TTextout out("t", text, font, 10, 1.0L, 1.0L);
  PrintedPages r;
  for (int page = 1; out.HasPage(page) && page < 50; ++page) {
    plat::Bitmap sheet(816, 1056);
    plat::BitmapDC dc(sheet);
    dc.SetCaps(caps);
    out.PrintPage(page, dc);
    // Count the rows of lines that have ink.
    int lines = 0;
    bool inLine = false;
    for (int y = 0; y < 1056; ++y) {
      bool ink = false;
      for (int x = 0; x < 816 && !ink; ++x) ink = sheet.GetPixel(x, y) != plat::Rgb(255, 255, 255);
      if (ink && !inLine) ++lines;
      inLine = ink;
    }
    r.linesPerPage.push_back(lines);
    ++r.pages;
  }
  return r;
}

TEST(TextPrintout, AFormFeedStartsANewPageAndLongLinesWrap) {
  EXPECT_EQ(PrintText("eins\r\nzwei").pages, 1);
  const PrintedPages ff = PrintText("erste Seite\fzweite Seite\r\nnoch");
  ASSERT_EQ(ff.pages, 2);
  EXPECT_EQ(ff.linesPerPage[0], 1);
  EXPECT_EQ(ff.linesPerPage[1], 2);

  // 9 inches of usable height at 96 dpi hold a bit more than 50 lines of
  // 10 points: 120 lines take three pages.
  std::string many;
  for (int i = 0; i < 120; ++i) many += "Zeile\r\n";
  const PrintedPages full = PrintText(many);
  EXPECT_EQ(full.pages, 3);

  // A line far wider than the page goes on in the next lines, whole.
  std::string wide;
  for (int i = 0; i < 60; ++i) wide += "Wort" + std::to_string(i) + " ";
  const PrintedPages wrapped = PrintText(wide);
  ASSERT_EQ(wrapped.pages, 1);
  EXPECT_GE(wrapped.linesPerPage[0], 3);
}

}  // namespace
}  // namespace kv
