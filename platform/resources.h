// The program's resources: string table, menus, accelerator tables, dialog
// templates and help texts.  They are written in resources/*.rc (a small
// declarative script, see resources/README.md) and resources/help/*.txt,
// embedded at build time and parsed once on first use.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace plat::res {

// ---- menus ----
struct MenuItem {
  enum Kind { Command, Separator, Popup } kind = Command;
  std::string text;  // with "&" mnemonic and an optional "\t" key name
  int id = 0;
  bool checked = false;
  bool grayed = false;
  std::vector<MenuItem> children;  // Popup only
};
struct Menu {
  std::string name;
  std::vector<MenuItem> items;  // the top-level bar
};

// ---- accelerators ----
struct Accelerator {
  unsigned key = 0;        // virtual key (upper-case letter or digit, or VK_*)
  unsigned modifiers = 0;  // plat::ModifierBits
  int id = 0;
};
struct AcceleratorTable {
  std::string name;
  std::vector<Accelerator> entries;
};

// ---- dialog templates ----
// A template lays its controls out in rows from top to bottom; each row
// holds controls from left to right.  Sizes are dialog units (a quarter of
// the average character width, an eighth of the character height) and are
// minimum sizes; 0 means natural size.
struct Control {
  enum Kind {
    Static,       // LTEXT / CTEXT / RTEXT
    Edit,         // EDITTEXT
    Button,       // PUSHBUTTON / DEFPUSHBUTTON
    CheckBox,     // CHECKBOX
    RadioButton,  // RADIOBUTTON
    GroupBox,     // GROUPBOX (a caption line spanning its row)
    ListBox,      // LISTBOX
    ComboBox,     // COMBOBOX
    ScrollBar,    // SCROLLBAR
    RichEdit,     // RICHEDIT
    Spacer,       // SPACE (empty cell of the given width)
  } kind = Static;
  int id = -1;       // -1 for statics without an id
  std::string text;
  int width = 0;
  int height = 0;
  int align = 0;     // statics: -1 left, 0 centred, 1 right
  bool isDefault = false;   // DEFPUSHBUTTON
  bool hidden = false;      // HIDDEN
  bool disabled = false;    // DISABLED
  bool group = false;       // GROUP: starts a new radio group
  bool password = false;    // PASSWORD
  bool multiline = false;   // MULTILINE
  bool readOnly = false;    // READONLY
  bool autoHScroll = false; // AUTOHSCROLL
  bool vertical = false;    // scroll bars: VERT (default horizontal)
  bool multiSelect = false; // list boxes: MULTI
  bool editable = false;    // combo boxes: EDITABLE (default drop-down list)
  bool sorted = false;      // SORT
};
struct Row {
  std::vector<Control> controls;
};
struct DialogTemplate {
  std::string name;
  std::string caption;
  int width = 0;
  int height = 0;
  std::vector<Row> rows;
  const Control* Find(int id) const;
};

// ---- lookup ----
// Every lookup returns empty / null when the resource does not exist.
std::string String(int id);
bool HasString(int id);
const Menu* FindMenu(const std::string& name);
const AcceleratorTable* FindAccelerators(const std::string& name);
const DialogTemplate* FindDialog(const std::string& name);
// Help text bytes (UTF-8 with CR LF line ends), or nullopt.
std::optional<std::string> HelpText(const std::string& name);

// Everything that was loaded, for the resource completeness test.
std::vector<int> AllStringIds();
std::vector<std::string> AllMenuNames();
std::vector<std::string> AllDialogNames();
std::vector<std::string> AllHelpNames();

// Parse errors of the embedded scripts ("file:line: message"); empty when all
// scripts parsed.  The program refuses to start with errors; a test checks it.
const std::vector<std::string>& ParseErrors();

// ---- script parser (also used by tests on their own snippets) ----
struct ResourceSet {
  std::map<int, std::string> strings;
  std::map<std::string, Menu> menus;
  std::map<std::string, AcceleratorTable> accelerators;
  std::map<std::string, DialogTemplate> dialogs;
  std::vector<std::string> errors;
};
// Parses one script into `into`; `fileName` only names errors.
void ParseScript(const std::string& text, const std::string& fileName, ResourceSet& into);

}  // namespace plat::res
