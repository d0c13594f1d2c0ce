// The resource script parser.  resources/README.md describes the language;
// this file follows it.  Plain C++: the scripts are parsed before any window
// exists, and tests feed it their own snippets and random bytes.
//
// A script is read into tokens first (resource_script_lexer.cpp), then
// parsed by recursive descent.
// Errors never stop the parse: a faulty entry is skipped up to the next
// token that can start an entry of the same block (keeping BEGIN/END
// balanced), and a block whose END is missing ends at the next block header.
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/keys.h"
#include "platform/resource_script_lexer.h"
#include "platform/resources.h"

namespace plat::res {

namespace {

using namespace detail;

constexpr int kMaxPopupDepth = 8;
constexpr long long kMaxId = 65535;
constexpr long long kMaxSize = 2000;  // dialog units

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// ---- the language's words ----

bool IsReserved(const std::string& w) {
  static const std::set<std::string> words = {"STRINGTABLE", "MENU",      "ACCELERATORS", "DIALOG",
                                               "BEGIN",       "END",       "POPUP",        "MENUITEM",
                                               "SEPARATOR",   "CAPTION",   "ROW"};
  return words.count(w) != 0;
}

enum FlagBit : unsigned {
  F_HIDDEN = 1u << 0, F_DISABLED = 1u << 1, F_GROUP = 1u << 2, F_PASSWORD = 1u << 3,
  F_MULTILINE = 1u << 4, F_READONLY = 1u << 5, F_AUTOHSCROLL = 1u << 6, F_VERT = 1u << 7,
  F_MULTI = 1u << 8, F_EDITABLE = 1u << 9, F_SORT = 1u << 10,
};
constexpr unsigned kCommonFlags = F_HIDDEN | F_DISABLED | F_GROUP;

struct FlagWord {
  const char* word;
  unsigned bit;
  bool Control::*member;
};
constexpr FlagWord kFlagWords[] = {
    {"HIDDEN", F_HIDDEN, &Control::hidden},          {"DISABLED", F_DISABLED, &Control::disabled},
    {"GROUP", F_GROUP, &Control::group},             {"PASSWORD", F_PASSWORD, &Control::password},
    {"MULTILINE", F_MULTILINE, &Control::multiline}, {"READONLY", F_READONLY, &Control::readOnly},
    {"AUTOHSCROLL", F_AUTOHSCROLL, &Control::autoHScroll}, {"VERT", F_VERT, &Control::vertical},
    {"MULTI", F_MULTI, &Control::multiSelect},       {"EDITABLE", F_EDITABLE, &Control::editable},
    {"SORT", F_SORT, &Control::sorted},
};

const FlagWord* FindFlag(const std::string& w) {
  for (const auto& f : kFlagWords)
    if (w == f.word) return &f;
  return nullptr;
}

enum class IdArg { None, Optional, Required };

struct ControlSyntax {
  const char* keyword;
  Control::Kind kind;
  bool text;      // a quoted text comes first
  IdArg id;
  int minSizes;   // width/height arguments that must be given
  int maxSizes;
  int align;      // statics
  bool isDefault;
  unsigned flags;  // allowed flags
  const char* usage;
};

constexpr ControlSyntax kControls[] = {
    {"LTEXT", Control::Static, true, IdArg::Optional, 0, 2, -1, false, kCommonFlags,
     "LTEXT \"text\" [, id [, width [, height]]]"},
    {"CTEXT", Control::Static, true, IdArg::Optional, 0, 2, 0, false, kCommonFlags,
     "CTEXT \"text\" [, id [, width [, height]]]"},
    {"RTEXT", Control::Static, true, IdArg::Optional, 0, 2, 1, false, kCommonFlags,
     "RTEXT \"text\" [, id [, width [, height]]]"},
    {"EDITTEXT", Control::Edit, false, IdArg::Required, 0, 2, 0, false,
     kCommonFlags | F_PASSWORD | F_MULTILINE | F_READONLY | F_AUTOHSCROLL, "EDITTEXT id [, width [, height]]"},
    {"PUSHBUTTON", Control::Button, true, IdArg::Required, 0, 2, 0, false, kCommonFlags,
     "PUSHBUTTON \"text\", id [, width [, height]]"},
    {"DEFPUSHBUTTON", Control::Button, true, IdArg::Required, 0, 2, 0, true, kCommonFlags,
     "DEFPUSHBUTTON \"text\", id [, width [, height]]"},
    {"CHECKBOX", Control::CheckBox, true, IdArg::Required, 0, 2, 0, false, kCommonFlags,
     "CHECKBOX \"text\", id [, width [, height]]"},
    {"RADIOBUTTON", Control::RadioButton, true, IdArg::Required, 0, 2, 0, false, kCommonFlags,
     "RADIOBUTTON \"text\", id [, width [, height]]"},
    {"GROUPBOX", Control::GroupBox, true, IdArg::Optional, 0, 2, 0, false, kCommonFlags,
     "GROUPBOX \"text\" [, id [, width [, height]]]"},
    {"LISTBOX", Control::ListBox, false, IdArg::Required, 2, 2, 0, false, kCommonFlags | F_MULTI | F_SORT,
     "LISTBOX id, width, height"},
    {"COMBOBOX", Control::ComboBox, false, IdArg::Required, 1, 2, 0, false, kCommonFlags | F_EDITABLE | F_SORT,
     "COMBOBOX id, width [, height]"},
    {"SCROLLBAR", Control::ScrollBar, false, IdArg::Required, 1, 2, 0, false, kCommonFlags | F_VERT,
     "SCROLLBAR id, width [, height]"},
    {"RICHEDIT", Control::RichEdit, false, IdArg::Required, 2, 2, 0, false, kCommonFlags | F_READONLY,
     "RICHEDIT id, width, height"},
    {"SPACE", Control::Spacer, false, IdArg::None, 1, 2, 0, false, 0, "SPACE width [, height]"},
};

const ControlSyntax* FindControl(const std::string& w) {
  for (const auto& c : kControls)
    if (w == c.keyword) return &c;
  return nullptr;
}

struct KeyName {
  const char* name;
  unsigned key;
};
constexpr KeyName kKeyNames[] = {
    {"VK_F1", VK_F1},         {"VK_F2", VK_F2},         {"VK_F3", VK_F3},       {"VK_F4", VK_F4},
    {"VK_F5", VK_F5},         {"VK_F6", VK_F6},         {"VK_F7", VK_F7},       {"VK_F8", VK_F8},
    {"VK_F9", VK_F9},         {"VK_F10", VK_F10},       {"VK_F11", VK_F11},     {"VK_F12", VK_F12},
    {"VK_PRIOR", VK_PRIOR},   {"VK_NEXT", VK_NEXT},     {"VK_LEFT", VK_LEFT},   {"VK_RIGHT", VK_RIGHT},
    {"VK_UP", VK_UP},         {"VK_DOWN", VK_DOWN},     {"VK_HOME", VK_HOME},   {"VK_END", VK_END},
    {"VK_INSERT", VK_INSERT}, {"VK_DELETE", VK_DELETE}, {"VK_SPACE", VK_SPACE}, {"VK_RETURN", VK_RETURN},
    {"VK_ESCAPE", VK_ESCAPE}, {"VK_ADD", VK_ADD},       {"VK_SUBTRACT", VK_SUBTRACT},
    {"VK_TAB", VK_TAB},       {"VK_BACK", VK_BACK},     {"VK_PAUSE", VK_PAUSE},
};

// ---- parser ----

class Parser {
 public:
  Parser(std::vector<Token> tokens, ResourceSet& into, Errors& errors)
      : t_(std::move(tokens)), out_(into), errors_(errors) {}

  void Run() {
    while (Peek().kind != Tok::Eof) {
      if (IsBlockStart(pos_)) {
        ParseBlock();
      } else {
        Error(Peek(), "expected STRINGTABLE or a block header (NAME MENU | ACCELERATORS | DIALOG), found " +
                          Describe(Peek()));
        Next();
        while (Peek().kind != Tok::Eof && !IsBlockStart(pos_)) Next();
      }
    }
  }

 private:
  // -- token access --
  const Token& Peek(std::size_t ahead = 0) const {
    const std::size_t i = pos_ + ahead;
    return i < t_.size() ? t_[i] : t_.back();
  }
  const Token& Next() {
    const Token& tok = Peek();
    if (pos_ < t_.size() - 1) ++pos_;
    return tok;
  }
  bool IsWord(const Token& tok, const char* w) const { return tok.kind == Tok::Ident && tok.text == w; }
  bool IsWordAt(std::size_t i, const char* w) const { return i < t_.size() && IsWord(t_[i], w); }

  bool IsBlockStart(std::size_t i) const {
    if (IsWordAt(i, "STRINGTABLE")) return true;
    return i + 1 < t_.size() && t_[i].kind == Tok::Ident &&
           (IsWordAt(i + 1, "MENU") || IsWordAt(i + 1, "ACCELERATORS") || IsWordAt(i + 1, "DIALOG"));
  }

  static std::string Describe(const Token& tok) {
    switch (tok.kind) {
      case Tok::Ident: return "'" + tok.text + "'";
      case Tok::Number: return "number " + std::to_string(tok.number);
      case Tok::String: return "a string";
      case Tok::Comma: return "','";
      case Tok::Eof: return "the end of the file";
    }
    return "?";
  }

  void Error(const Token& at, const std::string& message) { errors_.Add(at.line, message); }

  // Skips a faulty entry: up to the next token for which `stop` holds, an
  // END that closes the current block, a block header or the end of file.
  // BEGIN ... END pairs met on the way are skipped whole.
  template <typename Stop>
  void SkipEntry(Stop stop) {
    int depth = 0;
    while (Peek().kind != Tok::Eof && !IsBlockStart(pos_)) {
      const Token& tok = Peek();
      if (depth == 0 && (IsWord(tok, "END") || stop(tok))) return;
      if (IsWord(tok, "BEGIN")) ++depth;
      else if (IsWord(tok, "END")) --depth;
      Next();
    }
  }

  bool ExpectComma(const char* what) {
    if (Peek().kind == Tok::Comma) {
      Next();
      return true;
    }
    Error(Peek(), std::string("expected ',' before ") + what + ", found " + Describe(Peek()));
    return false;
  }

  bool ExpectNumber(const char* what, long long lo, long long hi, long long& value) {
    if (Peek().kind != Tok::Number) {
      Error(Peek(), std::string("expected ") + what + ", found " + Describe(Peek()));
      return false;
    }
    const Token& tok = Next();
    if (tok.number < lo || tok.number > hi) {
      Error(tok, std::string(what) + " " + std::to_string(tok.number) + " is out of range " + std::to_string(lo) +
                     ".." + std::to_string(hi));
      return false;
    }
    value = tok.number;
    return true;
  }

  // Opens a block body.  Without BEGIN the block is reported and skipped.
  bool ExpectBegin(const std::string& what) {
    if (IsWord(Peek(), "BEGIN")) {
      Next();
      return true;
    }
    Error(Peek(), "expected BEGIN after " + what + ", found " + Describe(Peek()));
    while (Peek().kind != Tok::Eof && !IsBlockStart(pos_)) Next();
    return false;
  }

  // Loop helper for block bodies: true while there is an entry to read.
  // Consumes the closing END; reports a missing one.
  bool MoreEntries(const std::string& what, int openLine) {
    if (IsWord(Peek(), "END")) {
      Next();
      return false;
    }
    if (Peek().kind == Tok::Eof || IsBlockStart(pos_)) {
      Error(Peek(), "missing END of " + what + " (opened on line " + std::to_string(openLine) + ")");
      return false;
    }
    return true;
  }

  // After a complete entry: the next token must start another entry or end
  // the block.
  template <typename Start>
  bool EntryEnds(Start start) const {
    const Token& tok = Peek();
    return tok.kind == Tok::Eof || IsWord(tok, "END") || start(tok) || IsBlockStart(pos_);
  }

  // -- blocks --
  void ParseBlock() {
    if (IsWord(Peek(), "STRINGTABLE")) {
      ParseStringTable();
      return;
    }
    const Token& nameTok = Next();
    const std::string name = Upper(nameTok.text);
    const std::string type = Next().text;
    bool ok = true;
    if (IsReserved(name)) {
      Error(nameTok, "the word " + name + " cannot name a resource");
      ok = false;
    }
    if (type == "MENU") ParseMenu(name, nameTok, ok);
    else if (type == "ACCELERATORS") ParseAccelerators(name, nameTok, ok);
    else ParseDialog(name, nameTok, ok);
  }

  void ParseStringTable() {
    const int openLine = Next().line;
    if (!ExpectBegin("STRINGTABLE")) return;
    auto entryStart = [](const Token& tok) { return tok.kind == Tok::Number; };
    while (MoreEntries("STRINGTABLE", openLine)) {
      const Token& idTok = Peek();
      long long id = 0;
      if (!ExpectNumber("string id", 0, kMaxId, id)) {
        SkipEntry(entryStart);
        continue;
      }
      if (Peek().kind == Tok::Comma) Next();
      if (Peek().kind != Tok::String) {
        Error(Peek(), "expected the text of string " + std::to_string(id) + ", found " + Describe(Peek()));
        SkipEntry(entryStart);
        continue;
      }
      const Token& text = Next();
      if (out_.strings.count(static_cast<int>(id)))
        Error(idTok, "duplicate string id " + std::to_string(id));
      else
        out_.strings[static_cast<int>(id)] = text.text;
    }
  }

  // MENUITEM and POPUP entries until the END of the current level.
  void ParseMenuItems(std::vector<MenuItem>& items, const std::string& what, int openLine, int depth) {
    auto entryStart = [this](const Token& tok) { return IsWord(tok, "MENUITEM") || IsWord(tok, "POPUP"); };
    while (MoreEntries(what, openLine)) {
      const Token& head = Peek();
      if (IsWord(head, "POPUP")) {
        Next();
        if (Peek().kind != Tok::String) {
          Error(Peek(), "expected the text of the POPUP, found " + Describe(Peek()));
          SkipEntry(entryStart);
          continue;
        }
        MenuItem popup;
        popup.kind = MenuItem::Popup;
        popup.text = Next().text;
        while (true) {
          const bool comma = Peek().kind == Tok::Comma;
          if (comma && IsWord(Peek(1), "GRAYED")) Next();
          if (IsWord(Peek(), "GRAYED")) {
            Next();
            popup.grayed = true;
            continue;
          }
          break;
        }
        if (!IsWord(Peek(), "BEGIN")) {
          Error(Peek(), "expected BEGIN after POPUP \"" + popup.text + "\", found " + Describe(Peek()));
          SkipEntry(entryStart);
          continue;
        }
        Next();
        if (depth >= kMaxPopupDepth) {
          Error(head, "popups nested deeper than " + std::to_string(kMaxPopupDepth) + " levels");
          int level = 1;
          while (level > 0 && Peek().kind != Tok::Eof && !IsBlockStart(pos_)) {
            if (IsWord(Peek(), "BEGIN")) ++level;
            else if (IsWord(Peek(), "END")) --level;
            Next();
          }
          continue;
        }
        ParseMenuItems(popup.children, "POPUP \"" + popup.text + "\"", head.line, depth + 1);
        items.push_back(std::move(popup));
      } else if (IsWord(head, "MENUITEM")) {
        Next();
        if (IsWord(Peek(), "SEPARATOR")) {
          Next();
          MenuItem sep;
          sep.kind = MenuItem::Separator;
          items.push_back(sep);
          continue;
        }
        MenuItem item;
        long long id = 0;
        if (Peek().kind != Tok::String) {
          Error(Peek(), "expected the text of the MENUITEM or SEPARATOR, found " + Describe(Peek()));
          SkipEntry(entryStart);
          continue;
        }
        item.text = Next().text;
        if (!ExpectComma("the command id") || !ExpectNumber("command id", 0, kMaxId, id)) {
          SkipEntry(entryStart);
          continue;
        }
        item.id = static_cast<int>(id);
        bool bad = false;
        while (true) {
          const bool comma = Peek().kind == Tok::Comma;
          const Token& w = Peek(comma ? 1 : 0);
          if (IsWord(w, "CHECKED") || IsWord(w, "GRAYED")) {
            (w.text == "CHECKED" ? item.checked : item.grayed) = true;
            if (comma) Next();
            Next();
            continue;
          }
          if (comma) {
            Error(w, "expected CHECKED or GRAYED after ',', found " + Describe(w));
            bad = true;
          }
          break;
        }
        if (!bad && !EntryEnds(entryStart)) {
          Error(Peek(), "unexpected " + Describe(Peek()) + " after MENUITEM \"" + item.text + "\"");
          bad = true;
        }
        if (bad) {
          SkipEntry(entryStart);
          continue;
        }
        items.push_back(std::move(item));
      } else {
        Error(head, "expected MENUITEM, POPUP or END, found " + Describe(head));
        Next();
        SkipEntry(entryStart);
      }
    }
  }

  void ParseMenu(const std::string& name, const Token& nameTok, bool ok) {
    const std::string what = "menu " + name;
    if (!ExpectBegin(what)) return;
    Menu menu;
    menu.name = name;
    ParseMenuItems(menu.items, what, nameTok.line, 0);
    if (!ok) return;
    if (out_.menus.count(name)) Error(nameTok, "duplicate menu " + name);
    else out_.menus[name] = std::move(menu);
  }

  void ParseAccelerators(const std::string& name, const Token& nameTok, bool ok) {
    const std::string what = "accelerator table " + name;
    if (!ExpectBegin(what)) return;
    AcceleratorTable table;
    table.name = name;
    auto entryStart = [](const Token& tok) {
      return tok.kind == Tok::String || (tok.kind == Tok::Ident && tok.text.rfind("VK_", 0) == 0);
    };
    while (MoreEntries(what, nameTok.line)) {
      const Token& keyTok = Peek();
      Accelerator acc;
      bool bad = false;
      if (keyTok.kind == Tok::String) {
        const std::string& s = keyTok.text;
        const auto c = s.size() == 1 ? static_cast<unsigned char>(s[0]) : 0;
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) acc.key = c;
        else if (c >= 'a' && c <= 'z') acc.key = c - 'a' + 'A';
        else {
          Error(keyTok, "an accelerator key in quotes is one letter or digit");
          bad = true;
        }
      } else if (keyTok.kind == Tok::Ident) {
        for (const auto& k : kKeyNames)
          if (keyTok.text == k.name) acc.key = k.key;
        if (!acc.key) {
          Error(keyTok, "unknown key " + Describe(keyTok));
          bad = true;
        }
      } else {
        Error(keyTok, "expected an accelerator key (\"A\" or VK_...), found " + Describe(keyTok));
        bad = true;
      }
      Next();
      long long id = 0;
      if (bad || !ExpectComma("the command id") || !ExpectNumber("command id", 0, kMaxId, id)) {
        SkipEntry(entryStart);
        continue;
      }
      acc.id = static_cast<int>(id);
      while (true) {
        const bool comma = Peek().kind == Tok::Comma;
        const Token& w = Peek(comma ? 1 : 0);
        unsigned bit = 0;
        if (IsWord(w, "CONTROL")) bit = MOD_CONTROL;
        else if (IsWord(w, "SHIFT")) bit = MOD_SHIFT;
        else if (IsWord(w, "ALT")) bit = MOD_ALT;
        if (bit) {
          acc.modifiers |= bit;
          if (comma) Next();
          Next();
          continue;
        }
        if (comma) {
          Error(w, "expected CONTROL, SHIFT or ALT after ',', found " + Describe(w));
          bad = true;
        }
        break;
      }
      if (!bad && !EntryEnds(entryStart)) {
        Error(Peek(), "unexpected " + Describe(Peek()) + " in an accelerator; expected CONTROL, SHIFT or ALT");
        bad = true;
      }
      if (bad) {
        SkipEntry(entryStart);
        continue;
      }
      bool duplicate = false;
      for (const auto& e : table.entries)
        duplicate = duplicate || (e.key == acc.key && e.modifiers == acc.modifiers);
      if (duplicate) Error(keyTok, "the same key and modifiers appear twice in " + what);
      else table.entries.push_back(acc);
    }
    if (!ok) return;
    if (out_.accelerators.count(name)) Error(nameTok, "duplicate accelerator table " + name);
    else out_.accelerators[name] = std::move(table);
  }

  bool IsControlStart(const Token& tok) const {
    return tok.kind == Tok::Ident && (FindControl(tok.text) || tok.text == "ROW");
  }

  // One control; false when it was faulty (the caller skips the rest).
  bool ParseControl(const ControlSyntax& syntax, Control& c) {
    const Token& head = Next();
    c.kind = syntax.kind;
    c.align = syntax.align;
    c.isDefault = syntax.isDefault;
    auto usage = [&](const Token& at) {
      Error(at, std::string("expected: ") + syntax.usage + ", found " + Describe(at));
      return false;
    };
    bool first = true;
    if (syntax.text) {
      if (Peek().kind != Tok::String) return usage(Peek());
      c.text = Next().text;
      first = false;
    }
    std::vector<long long> nums;
    while (true) {
      if (first && Peek().kind == Tok::Number) {
        nums.push_back(Next().number);
        first = false;
      } else if (!first && Peek().kind == Tok::Comma && Peek(1).kind == Tok::Number) {
        Next();
        nums.push_back(Next().number);
      } else {
        break;
      }
    }
    while (true) {
      const bool comma = Peek().kind == Tok::Comma;
      const Token& w = Peek(comma ? 1 : 0);
      const FlagWord* flag = w.kind == Tok::Ident ? FindFlag(w.text) : nullptr;
      if (!flag) {
        if (comma) return usage(w);
        break;
      }
      if (!(syntax.flags & flag->bit)) {
        Error(w, std::string(flag->word) + " does not apply to " + syntax.keyword);
        return false;
      }
      c.*(flag->member) = true;
      if (comma) Next();
      Next();
    }
    const Token& after = Peek();
    if (!(after.kind == Tok::Eof || IsWord(after, "END") || IsControlStart(after) || IsBlockStart(pos_))) {
      if (after.kind == Tok::Ident) Error(after, "unknown flag or control " + Describe(after));
      else usage(after);
      return false;
    }
    std::size_t sizeAt = 0;
    if (syntax.id != IdArg::None) {
      if (!nums.empty()) {
        const long long lo = syntax.id == IdArg::Optional ? -1 : 0;
        if (nums[0] < lo || nums[0] > kMaxId) {
          Error(head, std::string(syntax.keyword) + " id " + std::to_string(nums[0]) + " is out of range " +
                          std::to_string(lo) + ".." + std::to_string(kMaxId));
          return false;
        }
        c.id = static_cast<int>(nums[0]);
        sizeAt = 1;
      }
    }
    const std::size_t sizes = nums.size() - sizeAt;
    if ((syntax.id == IdArg::Required && nums.empty()) || sizes < static_cast<std::size_t>(syntax.minSizes) ||
        sizes > static_cast<std::size_t>(syntax.maxSizes)) {
      Error(head, std::string("wrong number of arguments; expected: ") + syntax.usage);
      return false;
    }
    for (std::size_t k = sizeAt; k < nums.size(); ++k) {
      if (nums[k] < 0 || nums[k] > kMaxSize) {
        Error(head, "size " + std::to_string(nums[k]) + " is out of range 0.." + std::to_string(kMaxSize));
        return false;
      }
    }
    if (sizes >= 1) c.width = static_cast<int>(nums[sizeAt]);
    if (sizes >= 2) c.height = static_cast<int>(nums[sizeAt + 1]);
    return true;
  }

  void ParseDialog(const std::string& name, const Token& nameTok, bool ok) {
    const std::string what = "dialog " + name;
    DialogTemplate dlg;
    dlg.name = name;
    long long w = 0, h = 0;
    if (!ExpectNumber("dialog width", 0, kMaxSize, w) || !ExpectComma("the dialog height") ||
        !ExpectNumber("dialog height", 0, kMaxSize, h)) {
      while (Peek().kind != Tok::Eof && !IsBlockStart(pos_) && !IsWord(Peek(), "BEGIN") && !IsWord(Peek(), "CAPTION"))
        Next();
    }
    dlg.width = static_cast<int>(w);
    dlg.height = static_cast<int>(h);
    if (IsWord(Peek(), "CAPTION")) {
      Next();
      if (Peek().kind == Tok::String) dlg.caption = Next().text;
      else Error(Peek(), "expected the caption text, found " + Describe(Peek()));
    }
    if (!ExpectBegin(what)) return;
    auto entryStart = [this](const Token& tok) { return IsControlStart(tok); };
    std::set<int> ids;
    while (MoreEntries(what, nameTok.line)) {
      const Token& head = Peek();
      if (IsWord(head, "ROW")) {
        Next();
        dlg.rows.emplace_back();
        continue;
      }
      const ControlSyntax* syntax = head.kind == Tok::Ident ? FindControl(head.text) : nullptr;
      if (!syntax) {
        Error(head, "expected ROW, a control or END, found " + Describe(head));
        Next();
        SkipEntry(entryStart);
        continue;
      }
      Control c;
      if (!ParseControl(*syntax, c)) {
        SkipEntry(entryStart);
        continue;
      }
      if (dlg.rows.empty()) {
        Error(head, "control before the first ROW");
        dlg.rows.emplace_back();
      }
      if (c.id >= 0 && !ids.insert(c.id).second)
        Error(head, "duplicate control id " + std::to_string(c.id) + " in " + what);
      dlg.rows.back().controls.push_back(std::move(c));
    }
    if (!ok) return;
    if (out_.dialogs.count(name)) Error(nameTok, "duplicate dialog " + name);
    else out_.dialogs[name] = std::move(dlg);
  }

  std::vector<Token> t_;
  std::size_t pos_ = 0;
  ResourceSet& out_;
  Errors& errors_;
};

}  // namespace

void ParseScript(const std::string& text, const std::string& fileName, ResourceSet& into) {
  Errors errors(fileName, into.errors);
  Parser parser(Tokenize(text, errors), into, errors);
  parser.Run();
}

}  // namespace plat::res
