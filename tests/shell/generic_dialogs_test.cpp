// The generic dialogs, the numbered messages and the status captions.
#include <gtest/gtest.h>

#include <string>

#include "platform/app.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "platform/testing.h"
#include "shell/file_msg_win.h"
#include "shell/generic_dialogs.h"

namespace kv {
namespace {

TEST(GenericDialogs, CancelledInputLeavesTheBuffer) {
  std::string buffer = "7";
  plat::testing::AnswerDialog("ONEINPUT", {{211, "99"}}, plat::IDCANCEL);
  TInpDlg dlg(nullptr, "Titel", "Wert", buffer, 50);
  EXPECT_EQ(dlg.Execute(), plat::IDCANCEL);
  EXPECT_EQ(buffer, "7");
}

TEST(GenericDialogs, InputTakesAtMostBufferSizeMinusTwoCharacters) {
  std::string buffer = "7";
  plat::testing::ExpectDialog("ONEINPUT", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(231), "Wert");
    EXPECT_EQ(d.GetItemText(211), "7");
    d.SetItemText(211, std::string(60, 'x'));
    d.Press(plat::IDOK);
  });
  TInpDlg dlg(nullptr, "Titel", "Wert", buffer, 50);
  EXPECT_EQ(dlg.Execute(), plat::IDOK);
  EXPECT_EQ(buffer, std::string(48, 'x'));
}

TEST(GenericDialogs, RememberedPositionIsUsedAndStoredBack) {
  TDialogPosition pos{-1, 10};
  plat::testing::ExpectDialog("ONEINPUT", [](plat::Dialog& d) {
    plat::Rect r = d.GetWindowRect();
    EXPECT_GE(r.left, 480);
    EXPECT_LE(r.left, 529);
    EXPECT_GE(r.top, 300);
    EXPECT_LE(r.top, 349);
    d.MoveTo(123, 234);  // the user moves it
    d.Press(plat::IDOK);
  });
  TDlg first(nullptr, "ONEINPUT", &pos);
  first.Execute();
  EXPECT_EQ(pos.x, 123);
  EXPECT_EQ(pos.y, 234);

  plat::testing::ExpectDialog("ONEINPUT", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetWindowRect().left, 123);
    EXPECT_EQ(d.GetWindowRect().top, 234);
    d.Press(plat::IDCANCEL);
  });
  TDlg again(nullptr, "ONEINPUT", &pos);
  again.Execute();
}

TEST(GenericDialogs, GenDlgTransfersItsFields) {
  std::string a = "a", b = "b";
  plat::testing::ExpectDialog("TWOINPUT", [](plat::Dialog& d) {
    EXPECT_EQ(d.GetItemText(211), "a");
    EXPECT_EQ(d.GetItemText(212), "b");
    d.SetItemText(211, "abcdefgh");
    d.Press(plat::IDOK);
  });
  TGenDlg dlg(nullptr, "TWOINPUT", 5, &a, &b);
  EXPECT_EQ(dlg.Execute(), plat::IDOK);
  EXPECT_EQ(a, "abcd") << "text limit - 1 characters";
  EXPECT_EQ(b, "b");
}

TEST(GenericDialogs, ThreeValueInputShowsItsThirdRow) {
  std::string a = "1", b = "2", c = "3";
  std::string p3 = "drei";
  plat::testing::ExpectDialog("TWOINPUT", [](plat::Dialog& d) {
    EXPECT_TRUE(d.IsItemVisible(213));
    EXPECT_EQ(d.GetItemText(233), "drei");
    d.SetItemText(213, "33");
    d.Press(plat::IDOK);
  });
  TInp2Dlg dlg(nullptr, "T", "TWOINPUT", "eins", "zwei", a, b, 20, &p3, &c);
  dlg.Execute();
  EXPECT_EQ(c, "33");
}

TEST(GenericDialogs, AskIntInRange) {
  struct Case {
    int press;
    std::string typed;
    int expectCode;
    int expectValue;
  };
  const Case cases[] = {
      {plat::IDCANCEL, "5", 12, 3}, {plat::IDOK, "5", 0, 5},     {plat::IDOK, "  -2x", 17, -2},
      {plat::IDOK, "11", 17, 11},    {plat::IDOK, "abc", 0, 0},
  };
  for (const auto& c : cases) {
    int value = 3;
    plat::testing::AnswerDialog("ONEINPUT", {{211, c.typed}}, c.press);
    EXPECT_EQ(AskIntInRange(nullptr, "T", "P", 0, 10, value), c.expectCode) << c.typed;
    EXPECT_EQ(value, c.expectValue) << c.typed;
  }
}

TEST(MessageDialogs, TemplateByTypeAndAnswers) {
  struct Case {
    int type;
    const char* templ;
    int press;
    int result;
  };
  const Case cases[] = {
      {0, "OKMBOX", plat::IDOK, 1}, {1, "YNMBOX", 88, 6},    {1, "YNMBOX", 89, 7},
      {1, "YNMBOX", -1, 2},         {2, "YNCMBOX", -1, 2},    {2, "YNCMBOX", plat::IDCANCEL, 2},
      {5, "YNCMBOX", 88, 6},
  };
  for (const auto& c : cases) {
    plat::testing::ExpectDialog(c.templ, [c](plat::Dialog& d) {
      EXPECT_EQ(d.GetItemText(231), "Text");
      EXPECT_EQ(d.GetCaption(), "Frage");
      if (c.press < 0) d.PressEscape();
      else d.Press(c.press);
    });
    EXPECT_EQ(RunMessageDialog(nullptr, "Frage", "Text", c.type), c.result) << c.templ << " " << c.press;
  }
}

TEST(MessageDialogs, YesNoBoxHidesItsCancelButton) {
  plat::testing::ExpectDialog("YNMBOX", [](plat::Dialog& d) {
    EXPECT_FALSE(d.IsItemVisible(plat::IDCANCEL));
    EXPECT_TRUE(d.IsItemVisible(88));
    d.PressEscape();
  });
  RunMessageDialog(nullptr, "", "", 1);
}

TEST(NumberedMessages, TextsCaptionsAndMissingCodes) {
  auto* w = new TFileMsgWin(nullptr, "w");
  w->ShowMessageById(9);
  w->ShowMessageById(105);  // a code without a text
  w->ShowMessageById(11, "Datei");
  const auto& m = plat::testing::Messages();
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].text, "nichts zu tun");
  EXPECT_EQ(m[0].caption, "?");
  EXPECT_EQ(m[1].text, "");
  EXPECT_EQ(m[2].text, "Datei ist nicht zu öffnen");
  EXPECT_EQ(m[2].caption, "Datei");
  delete w;
}

TEST(NumberedMessages, StatusCaptions) {
  auto* w = new TFileMsgWin(nullptr, "w");
  const std::pair<int, const char*> captions[] = {
      {1, "Abbruch mit Taste A"},
      {2, "beschäftigt -- bitte warten"},
      {3, "A=Abbruch L=Langsamer S=Schneller"},
      {4, "A=Abbruch P=Pause F=Fertig"},
      {5, "A=Abbruch P=Pause S=Schneller L=Langsamer"},
      {6, "Bereite Fotos vor -- bitte warten"},
      {7, "Foto #"},
      {8, "Taste drücken"},
      {9, "S=Stop, F=Fertig, N=Nächster"},
      {10, "Leertaste zum Fortsetzen, Abbruch mit A"},
  };
  for (const auto& [k, text] : captions) {
    w->SetCaption(k, 0, 1);
    EXPECT_EQ(w->GetCaption(), text);
  }
  delete w;
}

}  // namespace
}  // namespace kv
