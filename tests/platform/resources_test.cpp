// The resource language parser on snippets and garbage, and the embedded
// resources the program ships with.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/keys.h"
#include "platform/resources.h"

namespace res = plat::res;

namespace {

res::ResourceSet Parse(const std::string& text, const std::string& file = "t.rc") {
  res::ResourceSet set;
  res::ParseScript(text, file, set);
  return set;
}

std::string Joined(const std::vector<std::string>& errors) {
  std::string out;
  for (const auto& e : errors) out += e + "\n";
  return out;
}

// One control in a one-row dialog.
res::Control OneControl(const std::string& line) {
  const auto set = Parse("D DIALOG 100, 50\nBEGIN\nROW\n" + line + "\nEND\n");
  EXPECT_TRUE(set.errors.empty()) << line << "\n" << Joined(set.errors);
  const auto it = set.dialogs.find("D");
  if (it == set.dialogs.end() || it->second.rows.size() != 1 || it->second.rows[0].controls.size() != 1) {
    ADD_FAILURE() << "no single control for: " << line;
    return {};
  }
  return it->second.rows[0].controls[0];
}

}  // namespace

TEST(ResourceScript, EveryControlKindAndItsArguments) {
  using K = res::Control;
  struct Case {
    const char* line;
    K::Kind kind;
    int id, width, height, align;
    const char* text;
    bool isDefault;
  };
  const Case cases[] = {
      {"LTEXT \"Breite\"", K::Static, -1, 0, 0, -1, "Breite", false},
      {"CTEXT \"\", 231, 190, 24", K::Static, 231, 190, 24, 0, "", false},
      {"RTEXT \"x\", -1, 30", K::Static, -1, 30, 0, 1, "x", false},
      {"EDITTEXT 211", K::Edit, 211, 0, 0, 0, "", false},
      {"EDITTEXT 212, 80, 40", K::Edit, 212, 80, 40, 0, "", false},
      {"PUSHBUTTON \"&Nein\", 89", K::Button, 89, 0, 0, 0, "&Nein", false},
      {"DEFPUSHBUTTON \"OK\", 1, 50", K::Button, 1, 50, 0, 0, "OK", true},
      {"CHECKBOX \"Rahmen zeichnen\", 271", K::CheckBox, 271, 0, 0, 0, "Rahmen zeichnen", false},
      {"RADIOBUTTON \"Feldbreite\", 251, 60", K::RadioButton, 251, 60, 0, 0, "Feldbreite", false},
      {"GROUPBOX \"Text binden an\"", K::GroupBox, -1, 0, 0, 0, "Text binden an", false},
      {"LISTBOX 300, 120, 80", K::ListBox, 300, 120, 80, 0, "", false},
      {"COMBOBOX 301, 90", K::ComboBox, 301, 90, 0, 0, "", false},
      {"SCROLLBAR 302, 100, 10", K::ScrollBar, 302, 100, 10, 0, "", false},
      {"RICHEDIT 30, 200, 150", K::RichEdit, 30, 200, 150, 0, "", false},
      {"SPACE 12", K::Spacer, -1, 12, 0, 0, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const res::Control got = OneControl(c.line);
    EXPECT_EQ(got.kind, c.kind);
    EXPECT_EQ(got.id, c.id);
    EXPECT_EQ(got.width, c.width);
    EXPECT_EQ(got.height, c.height);
    EXPECT_EQ(got.align, c.align);
    EXPECT_EQ(got.text, c.text);
    EXPECT_EQ(got.isDefault, c.isDefault);
  }
}

TEST(ResourceScript, FlagsSetTheirFieldWithOrWithoutComma) {
  struct Case {
    const char* line;
    bool res::Control::*field;
  };
  const Case cases[] = {
      {"EDITTEXT 211 HIDDEN", &res::Control::hidden},
      {"PUSHBUTTON \"a\", 3, DISABLED", &res::Control::disabled},
      {"RADIOBUTTON \"a\", 251 GROUP", &res::Control::group},
      {"EDITTEXT 211, 50, PASSWORD", &res::Control::password},
      {"EDITTEXT 211, 50, 30 MULTILINE", &res::Control::multiline},
      {"RICHEDIT 30, 10, 10 READONLY", &res::Control::readOnly},
      {"EDITTEXT 211 AUTOHSCROLL", &res::Control::autoHScroll},
      {"SCROLLBAR 5, 10, 80, VERT", &res::Control::vertical},
      {"LISTBOX 5, 10, 80 MULTI", &res::Control::multiSelect},
      {"COMBOBOX 5, 10 EDITABLE", &res::Control::editable},
      {"COMBOBOX 5, 10 SORT", &res::Control::sorted},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const res::Control got = OneControl(c.line);
    for (const auto& other : cases) EXPECT_EQ(got.*other.field, other.field == c.field) << other.line;
  }
  const res::Control both = OneControl("EDITTEXT 213, 110 AUTOHSCROLL, HIDDEN PASSWORD");
  EXPECT_TRUE(both.autoHScroll && both.hidden && both.password);
}

TEST(ResourceScript, RowsKeepOrderAndFindSkipsPlainLabels) {
  const auto set = Parse(R"(
    TWO DIALOG 190, 75 CAPTION "Größe"
    BEGIN
      ROW LTEXT "a" EDITTEXT 211, 110
      ROW
        LTEXT "b", -1
        EDITTEXT 212
      ROW
      ROW DEFPUSHBUTTON "OK", 1 PUSHBUTTON "Abbruch", 2
    END)");
  ASSERT_TRUE(set.errors.empty()) << Joined(set.errors);
  const res::DialogTemplate& d = set.dialogs.at("TWO");
  EXPECT_EQ(d.caption, "Größe");
  EXPECT_EQ(d.width, 190);
  EXPECT_EQ(d.height, 75);
  ASSERT_EQ(d.rows.size(), 4u);
  EXPECT_EQ(d.rows[0].controls.size(), 2u);
  EXPECT_TRUE(d.rows[2].controls.empty());
  ASSERT_EQ(d.rows[3].controls.size(), 2u);
  EXPECT_EQ(d.rows[3].controls[1].id, 2);
  ASSERT_NE(d.Find(212), nullptr);
  EXPECT_EQ(d.Find(212)->kind, res::Control::Edit);
  EXPECT_EQ(d.Find(-1), nullptr);
  EXPECT_EQ(d.Find(99), nullptr);
}

TEST(ResourceScript, MenusNestPopupsWithSeparatorsAndFlags) {
  const auto set = Parse(R"(
    // comment line
    m MENU
    BEGIN
      POPUP "&Datei"
      BEGIN
        MENUITEM "Ö&ffnen ...\tStrg+O", 59
        MENUITEM SEPARATOR
        POPUP "&Zeichnung exportieren"
        BEGIN
          MENUITEM "&EPS Datei ...", 85, CHECKED, GRAYED
          POPUP "Tiefer", GRAYED
          BEGIN
            MENUITEM "x", 1 GRAYED
          END
        END
        MENUITEM "&Schließen", 357 CHECKED
      END
      MENUITEM "&Direkt", 7
    END)");
  ASSERT_TRUE(set.errors.empty()) << Joined(set.errors);
  const res::Menu& m = set.menus.at("M");  // names are stored upper-case
  ASSERT_EQ(m.items.size(), 2u);
  const res::MenuItem& file = m.items[0];
  EXPECT_EQ(file.kind, res::MenuItem::Popup);
  ASSERT_EQ(file.children.size(), 4u);
  EXPECT_EQ(file.children[0].text, "Ö&ffnen ...\tStrg+O");
  EXPECT_EQ(file.children[0].id, 59);
  EXPECT_EQ(file.children[1].kind, res::MenuItem::Separator);
  const res::MenuItem& sub = file.children[2];
  ASSERT_EQ(sub.children.size(), 2u);
  EXPECT_TRUE(sub.children[0].checked && sub.children[0].grayed);
  EXPECT_TRUE(sub.children[1].grayed);
  EXPECT_EQ(sub.children[1].children.at(0).id, 1);
  EXPECT_TRUE(file.children[3].checked);
  EXPECT_FALSE(file.children[3].grayed);
  EXPECT_EQ(m.items[1].kind, res::MenuItem::Command);
  EXPECT_EQ(m.items[1].id, 7);
}

TEST(ResourceScript, AcceleratorKeysAndModifiers) {
  const auto set = Parse(R"(
    K ACCELERATORS
    BEGIN
      "O", 59, CONTROL
      "s", 58, CONTROL, SHIFT
      "7", 7 ALT
      VK_F1, 353
      VK_NEXT, 106
      VK_LEFT, 322 SHIFT CONTROL ALT
    END)");
  ASSERT_TRUE(set.errors.empty()) << Joined(set.errors);
  const auto& e = set.accelerators.at("K").entries;
  struct Want {
    unsigned key, mods;
    int id;
  };
  const Want want[] = {{'O', plat::MOD_CONTROL, 59},
                       {'S', plat::MOD_CONTROL | plat::MOD_SHIFT, 58},
                       {'7', plat::MOD_ALT, 7},
                       {plat::VK_F1, 0, 353},
                       {plat::VK_NEXT, 0, 106},
                       {plat::VK_LEFT, plat::MOD_SHIFT | plat::MOD_CONTROL | plat::MOD_ALT, 322}};
  ASSERT_EQ(e.size(), std::size(want));
  for (std::size_t i = 0; i < e.size(); ++i) {
    EXPECT_EQ(e[i].key, want[i].key) << i;
    EXPECT_EQ(e[i].modifiers, want[i].mods) << i;
    EXPECT_EQ(e[i].id, want[i].id) << i;
  }
}

TEST(ResourceScript, StringEscapesAndUtf8) {
  const auto set = Parse(
      "\xEF\xBB\xBFSTRINGTABLE\r\nBEGIN\r\n"
      "  1 \"Änderungen speichern unter \"\r\n"
      "  2, \"a\\tb\\nc\"\r\n"
      "  3 \"Menü \\\"Hilfe\\\" \\\\ Ende\"\r\n"
      "  4 \"\"\r\n"
      "END\r\n");
  ASSERT_TRUE(set.errors.empty()) << Joined(set.errors);
  EXPECT_EQ(set.strings.at(1), "Änderungen speichern unter ");
  EXPECT_EQ(set.strings.at(2), "a\tb\nc");
  EXPECT_EQ(set.strings.at(3), "Menü \"Hilfe\" \\ Ende");
  EXPECT_EQ(set.strings.at(4), "");
}

TEST(ResourceScript, DuplicatesAreErrorsAndTheFirstStays) {
  res::ResourceSet set;
  res::ParseScript("STRINGTABLE BEGIN 5 \"eins\" END\nA MENU BEGIN END\nD DIALOG 1, 1 BEGIN END", "a.rc", set);
  res::ParseScript("STRINGTABLE BEGIN\n5 \"zwei\"\nEND\na MENU BEGIN END\nD DIALOG 2, 2 BEGIN END", "b.rc", set);
  EXPECT_EQ(set.strings.at(5), "eins");
  EXPECT_EQ(set.dialogs.at("D").width, 1);
  const std::string errors = Joined(set.errors);
  EXPECT_NE(errors.find("b.rc:2: duplicate string id 5"), std::string::npos) << errors;
  EXPECT_NE(errors.find("b.rc:4: duplicate menu A"), std::string::npos) << errors;
  EXPECT_NE(errors.find("b.rc:5: duplicate dialog D"), std::string::npos) << errors;
  EXPECT_EQ(set.errors.size(), 3u);
}

// Each snippet holds one fault; the error names its file and line, and the
// string after the faulty block still loads.
TEST(ResourceScript, ErrorsNameTheLineAndTheRestStillLoads) {
  struct Case {
    const char* snippet;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"STRINGTABLE BEGIN\n1 \"offen\nEND", 2, "unterminated string"},
      {"STRINGTABLE BEGIN\n1 \"a\\qb\"\nEND", 2, "unknown escape"},
      {"STRINGTABLE BEGIN\n1 \"\xC3\x28\"\nEND", 2, "not valid UTF-8"},
      {"STRINGTABLE BEGIN\n70000 \"x\"\nEND", 2, "out of range"},
      {"STRINGTABLE BEGIN\n1 2\nEND", 2, "expected the text of string 1"},
      {"STRINGTABLE BEGIN\n1 \"x\"\n", 4, "missing END of STRINGTABLE"},
      {"M MENU BEGIN\nMENUITEM \"a\" 5\nEND", 2, "expected ','"},
      {"M MENU BEGIN\nMENUITEM \"a\", 5, BOLD\nEND", 2, "expected CHECKED or GRAYED"},
      {"M MENU BEGIN\nPOPUP \"a\"\nMENUITEM \"b\", 1\nEND", 3, "expected BEGIN after POPUP"},
      {"M MENU BEGIN\nPOPUP \"a\" BEGIN\nMENUITEM \"b\", 1\n", 5, "missing END of POPUP \"a\""},
      {"K ACCELERATORS BEGIN\n\"AB\", 1\nEND", 2, "one letter or digit"},
      {"K ACCELERATORS BEGIN\nVK_F13, 1\nEND", 2, "unknown key"},
      {"K ACCELERATORS BEGIN\n\"A\", 1, CTRL\nEND", 2, "expected CONTROL, SHIFT or ALT"},
      {"K ACCELERATORS BEGIN\n\"A\", 1, CONTROL\n\"a\", 2 CONTROL\nEND", 3, "appear twice"},
      {"D DIALOG 10, 10 BEGIN\nROW\nEDITTEXT\nEND", 3, "wrong number of arguments"},
      {"D DIALOG 10, 10 BEGIN\nROW\nLISTBOX 5, 10\nEND", 3, "wrong number of arguments"},
      {"D DIALOG 10, 10 BEGIN\nROW\nLTEXT 231\nEND", 3, "expected: LTEXT"},
      {"D DIALOG 10, 10 BEGIN\nROW\nLTEXT \"a\" PASSWORD\nEND", 3, "PASSWORD does not apply to LTEXT"},
      {"D DIALOG 10, 10 BEGIN\nROW\nEDITTEXT 211 HIDEN\nEND", 3, "unknown flag or control 'HIDEN'"},
      {"D DIALOG 10, 10 BEGIN\nROW\nSPACE -4\nEND", 3, "out of range"},
      {"D DIALOG 10, 10 BEGIN\nROW\nPUSHBUTTON \"a\", -1\nEND", 3, "out of range"},
      {"D DIALOG 10, 10 BEGIN\nEDITTEXT 5\nEND", 2, "control before the first ROW"},
      {"D DIALOG 10, 10 BEGIN\nROW\nEDITTEXT 5\nEDITTEXT 5\nEND", 4, "duplicate control id 5"},
      {"D DIALOG 10 BEGIN\nEND", 1, "expected ',' before the dialog height"},
      {"D DIALOG 10, 10\nROW\nEND", 2, "expected BEGIN"},
      {"BEGIN DIALOG 10, 10 BEGIN END", 1, "cannot name a resource"},
      {"D DIALOG 10, 10 BEGIN\nROW\nEDITTEXT 5\n", 5, "missing END of dialog D"},
      {"oops\n", 1, "expected STRINGTABLE or a block header"},
      {"STRINGTABLE BEGIN\n1 ; \"a\"\nEND", 2, "unexpected character ';'"},
      {"STRINGTABLE BEGIN\n12abc \"a\"\nEND", 2, "malformed number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.snippet);
    const auto set = Parse(std::string(c.snippet) + "\nSTRINGTABLE BEGIN 9999 \"danach\" END\n", "f.rc");
    const std::string errors = Joined(set.errors);
    const std::string where = "f.rc:" + std::to_string(c.line) + ": ";
    bool found = false;
    for (const auto& e : set.errors)
      found = found || (e.rfind(where, 0) == 0 && e.find(c.message) != std::string::npos);
    EXPECT_TRUE(found) << "wanted " << where << c.message << "\ngot:\n" << errors;
    EXPECT_EQ(set.strings.count(9999), 1u) << errors;
  }
}

TEST(ResourceScript, FaultyEntriesAreSkippedButTheirNeighboursLoad) {
  const auto set = Parse(R"(
    D DIALOG 100, 50
    BEGIN
      ROW
        EDITTEXT 211 BOGUS
        EDITTEXT 212
        LISTBOX 5
      ROW
        PUSHBUTTON "OK", 1
    END
    M MENU
    BEGIN
      POPUP "a"
      BEGIN
        MENUITEM 12, 13
        POPUP 5 BEGIN MENUITEM "verloren", 1 END
        MENUITEM "b", 2
      END
    END)");
  EXPECT_EQ(set.errors.size(), 4u) << Joined(set.errors);
  const auto& d = set.dialogs.at("D");
  ASSERT_EQ(d.rows.size(), 2u);
  ASSERT_EQ(d.rows[0].controls.size(), 1u);
  EXPECT_EQ(d.rows[0].controls[0].id, 212);
  EXPECT_NE(d.Find(1), nullptr);
  const auto& popup = set.menus.at("M").items.at(0);
  ASSERT_EQ(popup.children.size(), 1u);
  EXPECT_EQ(popup.children[0].id, 2);
}

TEST(ResourceScript, GarbageNeverCrashesAndErrorsStayBounded) {
  std::mt19937 rng(20240611);
  const std::vector<std::string> words = {
      "STRINGTABLE", "MENU", "ACCELERATORS", "DIALOG", "BEGIN", "END", "POPUP", "MENUITEM", "SEPARATOR",
      "CAPTION", "ROW", "LTEXT", "EDITTEXT", "LISTBOX", "SPACE", "HIDDEN", "VK_F2", "CONTROL", "CHECKED",
      ",", "\"x\"", "\"\\", "\"", "-1", "211", "99999999999999", "//", "\n", "X", "\xC3", std::string(1, '\0'), "é"};
  // A small real script: every prefix of it, and copies with random bytes.
  const std::string script = R"(
    PLOT MENU BEGIN POPUP "&Fenster" BEGIN MENUITEM "&2-dim\tF2", 402 MENUITEM SEPARATOR END END
    PLOT ACCELERATORS BEGIN VK_F2, 402 "A", 1, CONTROL END
    X DIALOG 200, 55 CAPTION "c" BEGIN ROW CTEXT "", 231, 190 ROW DEFPUSHBUTTON "OK", 1, 50 HIDDEN END
    STRINGTABLE BEGIN 1 "Änderungen speichern unter " END)";
  std::vector<std::string> inputs;
  for (std::size_t cut = 0; cut <= script.size(); ++cut) inputs.push_back(script.substr(0, cut));
  for (int round = 0; round < 600; ++round) {
    std::string text;
    const int n = static_cast<int>(rng() % 300);
    if (round % 3 == 0) {
      text = script;
      for (int k = 0; k < 3; ++k) text[rng() % text.size()] = static_cast<char>(rng() % 256);
    }
    for (int i = 0; i < n && round % 3; ++i) {
      if (round % 3 == 1) text += static_cast<char>(rng() % 256);
      else text += words[rng() % words.size()] + (rng() % 3 ? " " : "");
    }
    inputs.push_back(text);
  }
  // Deeply nested popups are refused without exhausting the stack.
  std::string deep = "M MENU BEGIN\n";
  for (int i = 0; i < 5000; ++i) deep += "POPUP \"p\" BEGIN\n";
  inputs.push_back(deep);
  for (const auto& text : inputs) EXPECT_LE(Parse(text).errors.size(), 51u);
  EXPECT_FALSE(Parse(deep).errors.empty());
}

// ---- the embedded resources ----

TEST(ResourceEmbedded, EveryScriptParsesWithoutErrors) {
  EXPECT_TRUE(res::ParseErrors().empty()) << Joined(res::ParseErrors());
  EXPECT_FALSE(res::AllStringIds().empty());
}

TEST(ResourceEmbedded, NumberedMessagesHoldExactlyTheirTable) {
  struct Msg {
    int n;
    const char* text;
  };
  const Msg table[] = {
      {1, "unverständlich"}, {2, "nicht zu finden"}, {3, "wenig Speicher...Probleme!"},
      {4, "kein Platz mehr"}, {5, "keine Grafik in der Ablage"}, {6, "widersprüchliche Daten"},
      {7, ".ini Datei nicht gespeichert"}, {8, "Versionen nicht kompatibel!"}, {9, "nichts zu tun"},
      {10, "nichts zu zeigen"}, {11, "Datei ist nicht zu öffnen"}, {12, "Datei ist nicht zu speichern"},
      {13, "Küche hat schon zu!"}, {14, "positiver Wert?"}, {15, "Auswahl treffen"},
      {16, "Strichdichte verändert"}, {17, "jenseits der Grenzen"}, {18, "nicht zu bearbeiten"},
      {19, "nicht zu kopieren"}, {20, "zu groß"}, {21, "fehlerhafte .ini Datei"},
      {22, "Anwendung beenden löscht das Bild"}, {23, "zwei aussuchen"}, {24, "fehlende Daten"},
      {25, "brauche mindestens eine"}, {26, "brauche mindestens zwei Punkte"},
      {27, "nicht autorisiert"}, {28, "kein Zugriff"},
      {29, "Geschützt"}, {30, "nicht identisch"}, {31, "nicht zu drucken"},
      {32, "Druck abgebrochen"}, {33, "PiCTeX Datei ohne gefüllte Flächen gespeichert"},
      {101, "zu viele Argumente"},
      {102, "nicht zu integrieren"}, {103, "nicht zu spiegeln"}, {104, "kein Vorzeichenwechsel"},
      {106, "nicht zu approximieren"}, {107, "nur erster Grad"}, {108, "Klammern nicht paarweise"},
      {109, "nicht genügend Beispiele"}, {110, "Typen nicht kompatibel"}, {111, "am Bearbeiten"},
      {112, "Gleichheitszeichen fehlt"}, {113, "prüfe Chi Syntax"}, {114, "Nullvektor gefunden"},
      {115, "zu nah"}, {116, "zu viele"}, {117, "nicht abzuleiten"}, {118, "zu weit"},
      {119, "cannot swap these"}, {122, "Bezeichnung schon vorhanden"}, {130, "Kollision!"},
      {140, "X kommt nicht vor"}, {141, "Y kommt nicht vor"}, {142, "Perfekt!"},
      {143, "Nochmal versuchen?"},
  };
  std::vector<int> expectedIds;
  for (const auto& m : table) {
    EXPECT_EQ(res::String(400 + m.n), m.text) << "code " << m.n;
    expectedIds.push_back(400 + m.n);
  }
  std::vector<int> actualIds;
  for (int id : res::AllStringIds())
    if (id >= 400 && id < 600) actualIds.push_back(id);
  EXPECT_EQ(actualIds, expectedIds);
  for (int missing : {400, 434, 505, 520, 599}) {
    EXPECT_FALSE(res::HasString(missing)) << missing;
    EXPECT_EQ(res::String(missing), "") << missing;
  }
}

TEST(ResourceEmbedded, StatusCaptions) {
  const std::pair<int, const char*> captions[] = {
      {601, "Abbruch mit Taste A"},
      {602, "beschäftigt -- bitte warten"},
      {603, "A=Abbruch L=Langsamer S=Schneller"},
      {604, "A=Abbruch P=Pause F=Fertig"},
      {605, "A=Abbruch P=Pause S=Schneller L=Langsamer"},
      {606, "Bereite Fotos vor -- bitte warten"},
      {607, "Foto #"},
      {608, "Taste drücken"},
      {609, "S=Stop, F=Fertig, N=Nächster"},
      {610, "Leertaste zum Fortsetzen, Abbruch mit A"},
  };
  for (const auto& [id, text] : captions) EXPECT_EQ(res::String(id), text) << id;
  EXPECT_FALSE(res::HasString(600));
  EXPECT_FALSE(res::HasString(611));
}

TEST(ResourceEmbedded, TextsThatCallersJoinOrCount) {
  // Callers append to 1 and build the About box and the version line from
  // these; a lost blank or a stray 315 would show.
  EXPECT_EQ(res::String(1), "Änderungen speichern unter ");
  EXPECT_EQ(res::String(999), "PLOTICON");
  EXPECT_EQ(res::String(1443), "März");
  const char* months[] = {"Januar", "Februar", "März", "April", "Mai", "Juni",
                          "Juli", "August", "September", "Oktober", "November", "Dezember"};
  for (int m = 0; m < 12; ++m) EXPECT_EQ(res::String(1441 + m), months[m]);
  for (int id : {301, 302, 303, 304, 305, 306, 307, 308, 310, 311, 312, 313, 314}) {
    const std::string s = res::String(id);
    EXPECT_FALSE(s.empty()) << id;
    EXPECT_LE(s.size(), 64u) << id;  // bytes; umlauts take two
  }
  for (int id = 315; id <= 319; ++id) EXPECT_FALSE(res::HasString(id)) << id;
  EXPECT_EQ(res::String(8) + "\r\n" + res::String(9),
            "Mit Bearbeiten|Suchen findet man das erste Auftauchen\r\n"
            "eines Ausdrucks, mit Bearbeiten|Weitersuchen weitere.");
}

TEST(ResourceEmbedded, GenericDialogTemplates) {
  using K = res::Control;
  struct Want {
    const char* dialog;
    int id;
    K::Kind kind;
    const char* text;
    bool hidden;
  };
  const Want want[] = {
      {"OKMBOX", 1, K::Button, "OK", false},      {"OKMBOX", 88, K::Button, "Ja", true},
      {"OKMBOX", 2, K::Button, "Abbruch", true},  {"OKMBOX", 231, K::Static, "", false},
      {"YNMBOX", 88, K::Button, "&Ja", false},    {"YNMBOX", 89, K::Button, "&Nein", false},
      {"YNMBOX", 2, K::Button, nullptr, true},    {"YNMBOX", 231, K::Static, "", false},
      {"YNCMBOX", 88, K::Button, "&Ja", false},   {"YNCMBOX", 89, K::Button, "&Nein", false},
      {"YNCMBOX", 2, K::Button, "&Abbruch", false}, {"YNCMBOX", 231, K::Static, "", false},
      {"ONEINPUT", 231, K::Static, "", false},    {"ONEINPUT", 211, K::Edit, "", false},
      {"ONEINPUT", 1, K::Button, "OK", false},    {"ONEINPUT", 2, K::Button, "Abbruch", false},
      {"TWOINPUT", 231, K::Static, "", false},    {"TWOINPUT", 232, K::Static, "", false},
      {"TWOINPUT", 233, K::Static, "", true},     {"TWOINPUT", 211, K::Edit, "", false},
      {"TWOINPUT", 212, K::Edit, "", false},      {"TWOINPUT", 213, K::Edit, "", true},
      {"TWOINPUT", 1, K::Button, "OK", false},    {"TWOINPUT", 2, K::Button, "Abbruch", false},
      {"ASKPW", 230, K::Static, "Kennwort", false}, {"ASKPW", 211, K::Edit, "", false},
      {"ASKPW", 1, K::Button, "OK", false},       {"ASKPW", 2, K::Button, "Abbruch", false},
  };
  for (const auto& w : want) {
    SCOPED_TRACE(std::string(w.dialog) + " " + std::to_string(w.id));
    const res::DialogTemplate* d = res::FindDialog(w.dialog);
    ASSERT_NE(d, nullptr);
    const res::Control* c = d->Find(w.id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->kind, w.kind);
    if (w.text) {
      EXPECT_EQ(c->text, w.text);
    }
    EXPECT_EQ(c->hidden, w.hidden);
  }
  struct Size {
    const char* dialog;
    int width, height;
    const char* caption;
    std::size_t controls;
  };
  const Size sizes[] = {{"OKMBOX", 200, 55, "", 4},    {"YNMBOX", 200, 55, "", 4},
                        {"YNCMBOX", 200, 55, "", 4},   {"ONEINPUT", 180, 80, "", 4},
                        {"TWOINPUT", 190, 75, "", 8},  {"ASKPW", 156, 45, "Kennworteingabe", 4}};
  for (const auto& s : sizes) {
    const res::DialogTemplate* d = res::FindDialog(s.dialog);
    ASSERT_NE(d, nullptr) << s.dialog;
    EXPECT_EQ(d->width, s.width) << s.dialog;
    EXPECT_EQ(d->height, s.height) << s.dialog;
    EXPECT_EQ(d->caption, s.caption) << s.dialog;
    std::size_t n = 0;
    for (const auto& row : d->rows) n += row.controls.size();
    EXPECT_EQ(n, s.controls) << s.dialog;
  }
  EXPECT_TRUE(res::FindDialog("OKMBOX")->Find(1)->isDefault);
  EXPECT_TRUE(res::FindDialog("ONEINPUT")->Find(1)->isDefault);
  EXPECT_TRUE(res::FindDialog("TWOINPUT")->Find(1)->isDefault);
  EXPECT_EQ(res::FindDialog("OKMBOX")->Find(231)->align, 0);
  EXPECT_EQ(res::FindDialog("YNMBOX")->Find(231)->align, 0);
  EXPECT_EQ(res::FindDialog("ONEINPUT")->Find(231)->align, 0);
  EXPECT_TRUE(res::FindDialog("ONEINPUT")->Find(211)->autoHScroll);
  EXPECT_TRUE(res::FindDialog("ASKPW")->Find(211)->password);
  EXPECT_FALSE(res::FindDialog("ONEINPUT")->Find(211)->password);
}

namespace {
void CollectIds(const std::vector<res::MenuItem>& items, std::vector<int>& ids) {
  for (const auto& it : items) {
    if (it.kind == res::MenuItem::Command) ids.push_back(it.id);
    CollectIds(it.children, ids);
  }
}
const res::MenuItem* FindItem(const std::vector<res::MenuItem>& items, int id) {
  for (const auto& it : items) {
    if (it.kind == res::MenuItem::Command && it.id == id) return &it;
    if (const res::MenuItem* found = FindItem(it.children, id)) return found;
  }
  return nullptr;
}
}  // namespace

TEST(ResourceEmbedded, MainFrameMenuAndKeys) {
  const res::Menu* menu = res::FindMenu("PLOTMENU");
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->items.size(), 2u);
  EXPECT_EQ(menu->items[0].text, "&Fenster");
  EXPECT_EQ(menu->items[1].text, "&Hilfe");
  std::vector<int> ids;
  CollectIds(menu->items, ids);
  std::vector<int> want = {402, 403, 404, 405, 407, 413, 414, 415, 409, 48, 49, 24310, 354, 355};
  EXPECT_EQ(ids, want);
  const std::pair<int, const char*> texts[] = {
      {402, "&2-dim\tF2"}, {403, "&3-dim\tF3"}, {404, "&Funktions-Quiz"}, {405, "Ebene &xy"},
      {407, "Ebene &z"}, {413, "&1   (log x ; y)"}, {414, "&2   (x ; log y)"},
      {415, "&3   (log x ; log y)"}, {409, "&Planeten"}, {48, "&Letzte Datei öffnen"},
      {49, "&Standardeinstellungen"}, {24310, "&Beenden"}, {354, "&Hilfe ..."}, {355, "&Über..."}};
  for (const auto& [id, text] : texts) {
    const res::MenuItem* item = FindItem(menu->items, id);
    ASSERT_NE(item, nullptr) << id;
    EXPECT_EQ(item->text, text) << id;
  }
  const auto& fenster = menu->items[0].children;
  const auto abbildungen = std::find_if(fenster.begin(), fenster.end(),
                                        [](const res::MenuItem& m) { return m.text == "&Abbildungen"; });
  ASSERT_NE(abbildungen, fenster.end());
  std::vector<int> subIds;
  CollectIds(abbildungen->children, subIds);
  EXPECT_EQ(subIds, (std::vector<int>{405, 407, 413, 414, 415}));

  const res::AcceleratorTable* keys = res::FindAccelerators("PLOTMENU");
  ASSERT_NE(keys, nullptr);
  ASSERT_EQ(keys->entries.size(), 2u);
  EXPECT_EQ(keys->entries[0].key, plat::VK_F2);
  EXPECT_EQ(keys->entries[0].id, 402);
  EXPECT_EQ(keys->entries[1].key, plat::VK_F3);
  EXPECT_EQ(keys->entries[1].id, 403);
  EXPECT_EQ(keys->entries[0].modifiers | keys->entries[1].modifiers, 0u);
}

TEST(ResourceEmbedded, LookupsByNameAndMissingResources) {
  EXPECT_EQ(res::FindDialog("okmbox"), res::FindDialog("OKMBOX"));
  EXPECT_EQ(res::FindMenu("NOSUCHMENU"), nullptr);
  EXPECT_EQ(res::FindAccelerators("NOSUCHMENU"), nullptr);
  EXPECT_EQ(res::FindDialog("NOSUCHDLG"), nullptr);
  EXPECT_FALSE(res::HelpText("NOSUCHHELP").has_value());
  const auto names = res::AllDialogNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "ASKPW"), names.end());
  const auto menus = res::AllMenuNames();
  EXPECT_NE(std::find(menus.begin(), menus.end(), "PLOTMENU"), menus.end());
}

TEST(ResourceEmbedded, ProgramHelpIsCrLfWithoutCutMarker) {
  const auto names = res::AllHelpNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "PROGHELP"), names.end());
  const auto text = res::HelpText("PROGHELP");
  ASSERT_TRUE(text.has_value());
  ASSERT_GT(text->size(), 500u);
  for (std::size_t i = 0; i < text->size(); ++i) {
    if ((*text)[i] == '\n') {
      ASSERT_TRUE(i > 0 && (*text)[i - 1] == '\r') << "bare LF at " << i;
    }
  }
  EXPECT_EQ(text->find("???"), std::string::npos);  // the viewer cuts there
  EXPECT_EQ(text->find('\0'), std::string::npos);
  for (const char* ext : {".kv2", ".kv3", ".ma2", ".maz", ".lkv"})
    EXPECT_NE(text->find(ext), std::string::npos) << ext;
}
