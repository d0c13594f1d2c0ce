// The print-area and number-format dialogs, the About box and the window
// base's own resources.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/app.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "shell/file_msg_win.h"
#include "shell/print_format_dialogs.h"
#include "support/test_env.h"

namespace kv {
namespace {

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    w_ = new TFileMsgWin(nullptr, "a.kv2");
    w_->Create();
  }
  void TearDown() override {
    w_->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  static std::string LastMessage() {
    const auto& m = plat::testing::Messages();
    return m.empty() ? std::string() : m.back().text;
  }
  TFileMsgWin* w_ = nullptr;
};

TEST_F(DialogsTest, PrintAreaShowsCentimetresAndChecksTheLengths) {
  w_->PrintTemplate = 2;
  w_->PrintWidth = -3.0L;
  w_->PrintScale = 1.0L / 2.54L;
  plat::testing::ExpectDialog("PRNSPX2", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(211), "7.62");
    EXPECT_EQ(d.GetItemText(212), "1.00");
    EXPECT_EQ(d.GetItemText(213), "2.54");
    EXPECT_FALSE(d.IsChecked(251));
    EXPECT_TRUE(d.IsChecked(252));
    d.Press(2);
  });
  w_->Command(304);
  EXPECT_EQ(w_->PrintWidth, -3.0L);

  struct Case {
    const char* width;
    bool widthInForce;
    bool accepted;
  };
  for (const Case& c : {Case{"0.5", true, false}, Case{"0.7", true, true}, Case{"0.7", false, true},
                        Case{"x", true, false}}) {
    SCOPED_TRACE(c.width);
    plat::testing::ClearMessages();
    w_->Modified = 0;
    const TPrintArea before = w_->GetPrintArea();
    plat::testing::ExpectDialog("PRNSPX2", [&](plat::Dialog& d) {
      d.SetItemText(211, c.width);
      d.SetCheck(251, c.widthInForce);
      d.SetCheck(252, !c.widthInForce);
      d.SetCheck(272, true);
      d.Press(1);
      if (!c.accepted) {
        EXPECT_EQ(LastMessage(), "jenseits der Grenzen");
        d.Press(2);
      }
    });
    w_->Command(304);
    if (!c.accepted) {
      EXPECT_EQ(w_->GetPrintArea(), before) << "cancel restores the record with its signs";
      EXPECT_EQ(w_->Modified, 0);
      continue;
    }
    const long double inches = 0.7L * static_cast<long double>(0.39370078740157477);
    EXPECT_EQ(w_->PrintWidth, c.widthInForce ? inches : -inches);
    EXPECT_EQ(w_->PrintScale < 0, c.widthInForce);
    EXPECT_EQ(w_->ColourPrinter, 1);
    EXPECT_EQ(w_->Modified, 1);
  }

  // Margins only; without the settings mark nothing is marked modified.
  w_->PrintTemplate = 0;
  w_->SettingsMarkModified = 0;
  w_->Modified = 0;
  plat::testing::ExpectDialog("PRNSPX0", [](plat::Dialog& d) {
    EXPECT_FALSE(d.IsItemVisible(211));
    EXPECT_TRUE(d.IsItemVisible(213));
    d.SetItemText(213, "5");
    d.Press(1);
  });
  w_->Command(304);
  EXPECT_NEAR(static_cast<double>(w_->PrintLeft), 5 / 2.54, 1e-12);
  EXPECT_EQ(w_->Modified, 0);
}

TEST_F(DialogsTest, NumberFormatChecksAndRaisesTheWidth) {
  struct Case {
    int kind;
    const char* decimals;
    const char* width;
    bool scientific;
    std::string message;  // empty: accepted
    int storedDecimals, storedWidth;
  };
  const Case cases[] = {
      {3, "4", "5", false, "widersprüchliche Daten", 5, 7},
      {3, "4", "6", false, "", 4, 6},
      {3, "16", "30", false, "jenseits der Grenzen", 5, 7},
      {3, "-1", "30", false, "jenseits der Grenzen", 5, 7},
      {3, "2", "2", false, "jenseits der Grenzen", 5, 7},  // below the minimum width 3
      {15, "3", "6", true, "", 3, 12},
      {15, "3", "13", true, "", 3, 13},
      {1, "2", "", false, "", 2, 7},   // "DP": the width is raised only when too small
      {1, "9", "", false, "", 9, 11},
      {2, "", "2", false, "jenseits der Grenzen", 5, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.kind) + " " + c.decimals + " " + c.width);
    plat::testing::ClearMessages();
    w_->FormatKind = c.kind;
    w_->Decimals = 5;
    w_->FieldWidth = 7;
    w_->Scientific = 0;
    const std::string name = NumberFormatTemplate(c.kind);
    plat::testing::ExpectDialog(name, [&](plat::Dialog& d) {
      if (d.HasItem(211)) d.SetItemText(211, c.decimals);
      if (d.HasItem(212)) d.SetItemText(212, c.width);
      if (d.HasItem(271)) d.SetCheck(271, c.scientific);
      d.Press(1);
      EXPECT_EQ(LastMessage(), c.message);
      if (!c.message.empty()) d.Press(2);
    });
    TFWDlg dlg(w_, name);
    dlg.Execute();
    EXPECT_EQ(w_->Decimals, c.storedDecimals);
    EXPECT_EQ(w_->FieldWidth, c.storedWidth);
  }
}

TEST(NumberFormatTemplates, ByFormatKind) {
  const std::pair<int, const char*> kinds[] = {{1, "DP"}, {2, "FW"}, {3, "FWDP"}, {4, "DP"},
                                               {5, "DPSN"}, {15, "FWDPSN"}, {19, "FWDPTAB"}, {0, "DP"}};
  for (const auto& [kind, name] : kinds) EXPECT_EQ(NumberFormatTemplate(kind), name) << kind;
}

TEST_F(DialogsTest, TabsAndStarExponentFlags) {
  w_->FormatKind = 19;
  plat::testing::ExpectDialog("FWDPTAB", [](plat::Dialog& d) {
    EXPECT_TRUE(d.IsChecked(251));
    d.SetCheck(251, false);
    d.SetCheck(252, true);
    d.Press(1);
  });
  TFWDlg(w_, "FWDPTAB").Execute();
  EXPECT_EQ(w_->UseTabs, 1);
  w_->FormatKind = 15;
  plat::testing::ExpectDialog("FWDPSN", [](plat::Dialog& d) {
    d.SetCheck(272, true);
    d.Press(1);
  });
  TFWDlg(w_, "FWDPSN").Execute();
  EXPECT_EQ(w_->StarExponent, 1);
}

TEST_F(DialogsTest, AboutBoxTextAndCaption) {
  w_->FileVersion = 33;
  w_->ShowAbout();
  ASSERT_EQ(plat::testing::Messages().size(), 1u);
  const auto& m = plat::testing::Messages()[0];
  EXPECT_EQ(m.caption, "Über Kurvato [v 1.33]");
  using plat::res::String;
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t p; (p = m.text.find("\r\n", start)) != std::string::npos; start = p + 2)
    lines.push_back(m.text.substr(start, p - start));
  lines.push_back(m.text.substr(start));
  const std::vector<std::string> expected = {
      String(300), "Version kompiliert 15. März 2010", "", String(301), String(302), String(303), "",
      String(304), String(305), String(306), String(307), "", String(308), "", String(310), String(311),
      String(312), String(313), String(314), "", "Kommentare und Vorschläge erwünscht!"};
  EXPECT_EQ(lines, expected);

  w_->AboutOpen = 1;  // one About box per window
  w_->ShowAbout();
  EXPECT_EQ(plat::testing::Messages().size(), 1u);
}

TEST(BaseResources, DialogsMenusAndStringsTheLayersName) {
  using plat::res::Control;
  struct Item {
    const char* dialog;
    int id;
    Control::Kind kind;
    const char* text;
  };
  const Item items[] = {
      {"SETPW", 211, Control::Edit, ""},          {"SETPW", 212, Control::Edit, ""},
      {"SETPW", 271, Control::CheckBox, "Speichern/Umbenennen verhindern"},
      {"SETPW", 272, Control::CheckBox, "Inventar schützen"},
      {"SETPW", 273, Control::CheckBox, "Notizen schützen"},
      {"SETPW", 274, Control::CheckBox, "Copyright anzeigen"},
      {"SETPW", 235, Control::Static, "Autor"},   {"SETPW", 238, Control::Static, "Homepage"},
      {"SETPW", 1, Control::Button, "Setzen"},    {"SETPW", 240, Control::Button, "Löschen"},
      {"PRNSPX0", 213, Control::Edit, ""},        {"PRNSPX1", 271, Control::CheckBox, "Rahmen zeichnen"},
      {"PRNSPX2", 232, Control::Static, "Einheit x"}, {"PRNSPX2", 252, Control::RadioButton, ""},
      {"DPSN", 271, Control::CheckBox, "Wissensch. Schreibweise"},
      {"FW", 30, Control::Static, "Feldbreite"},
      {"FWDPSN", 272, Control::CheckBox, "ersetzen E durch *10^"},
      {"FWDPTAB", 252, Control::RadioButton, "Tabulatoren"},
  };
  for (const Item& it : items) {
    const auto* d = plat::res::FindDialog(it.dialog);
    ASSERT_NE(d, nullptr) << it.dialog;
    const Control* c = d->Find(it.id);
    ASSERT_NE(c, nullptr) << it.dialog << " " << it.id;
    EXPECT_EQ(c->kind, it.kind) << it.dialog << " " << it.id;
    EXPECT_EQ(c->text, it.text) << it.dialog << " " << it.id;
  }
  EXPECT_EQ(plat::res::FindDialog("SETPW")->Find(2), nullptr) << "Löschen is not the cancel id";
  EXPECT_TRUE(plat::res::FindDialog("SETPW")->Find(211)->password);
  for (const char* name : {"PRNSPX0", "PRNSPX1", "PRNSPX2"})
    EXPECT_EQ(plat::res::FindDialog(name)->caption, "Druckbereich (cm)");

  for (const char* menu : {"DEFMENU", "PLOT2MENU", "PLOT3MENU", "DOM2MENU", "RAN2MENU", "LOGMENU", "GUESSMENU"}) {
    EXPECT_NE(plat::res::FindMenu(menu), nullptr) << menu;
    EXPECT_NE(plat::res::FindAccelerators(menu), nullptr) << menu;
  }
  for (int id : {1, 2, 13, 19, 20, 24, 25, 26, 27, 28, 63, 95, 267, 268, 269, 273, 290, 297, 298})
    EXPECT_TRUE(plat::res::HasString(id)) << id;
}

}  // namespace
}  // namespace kv
