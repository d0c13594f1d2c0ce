// Command tables: each window or dialog class keeps one table from command
// id to a member function (and optionally to an enabler that enables,
// checks or renames the menu item).  A class's table names its base class's
// table; a lookup that misses falls back to the base, so a command a layer
// does not handle reaches the layer below.  A command that no layer handles
// is greyed in menus whatever its enabler says: a feature not built yet has
// its enabler (if any) but no handler, and becomes usable when its handler
// is added.
//
//   const plat::CommandTable& TPlotFrame::Commands() const {
//     static const auto table = plat::CommandTable::Build<TPlotFrame>(
//         &plat::Window::Commands(), {
//             {402, &TPlotFrame::CmNew2D},
//             {48, &TPlotFrame::CmOpenLastFile, &TPlotFrame::CeOpenLastFile},
//             {60, 69, &TPlotFrame::CmFontSlot},   // a range, handler gets the id
//         });
//     return table;
//   }
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace plat {

class Window;

// Filled by an enabler for one command id before a menu shows or an
// accelerator or button fires.
struct CommandEnabler {
  int id = 0;
  bool enabled = true;
  int checked = -1;        // -1 untouched, 0 unchecked, 1 checked
  bool hasText = false;
  std::string text;
  bool handled = false;    // set by Enable/SetCheck/SetText

  void Enable(bool on = true) { enabled = on; handled = true; }
  void SetCheck(bool on) { checked = on ? 1 : 0; handled = true; }
  void SetText(const std::string& t) { text = t; hasText = true; handled = true; }
};

class CommandTable {
 public:
  using Handler = std::function<void(Window&, int id)>;
  using Enabler = std::function<void(Window&, CommandEnabler&)>;

  struct Entry {
    int first = 0;
    int last = 0;
    Handler handler;   // may be empty (enabler only)
    Enabler enabler;   // may be empty
  };

  // One row of a table under construction for class W.
  template <class W>
  struct Row {
    Entry entry;
    Row(int id, void (W::*fn)()) { entry = {id, id, Wrap(fn), {}}; }
    Row(int id, void (W::*fn)(), void (W::*en)(CommandEnabler&)) {
      entry = {id, id, Wrap(fn), Wrap(en)};
    }
    Row(int id, std::nullptr_t, void (W::*en)(CommandEnabler&)) { entry = {id, id, {}, Wrap(en)}; }
    Row(int first, int last, void (W::*fn)(int)) { entry = {first, last, Wrap(fn), {}}; }
    Row(int first, int last, void (W::*fn)(int), void (W::*en)(CommandEnabler&)) {
      entry = {first, last, Wrap(fn), Wrap(en)};
    }

   private:
    static Handler Wrap(void (W::*fn)()) {
      return [fn](Window& w, int) { (static_cast<W&>(w).*fn)(); };
    }
    static Handler Wrap(void (W::*fn)(int)) {
      return [fn](Window& w, int id) { (static_cast<W&>(w).*fn)(id); };
    }
    static Enabler Wrap(void (W::*en)(CommandEnabler&)) {
      return [en](Window& w, CommandEnabler& ce) { (static_cast<W&>(w).*en)(ce); };
    }
  };

  template <class W>
  static CommandTable Build(const CommandTable* base, std::initializer_list<Row<W>> rows) {
    CommandTable t;
    t.base_ = base;
    for (const auto& r : rows) t.entries_.push_back(r.entry);
    return t;
  }

  const CommandTable* Base() const { return base_; }
  // The first entry with a handler for id, searching this table, then the bases.
  const Entry* FindHandler(int id) const;
  // The first entry with an enabler for id, searching the same way.
  const Entry* FindEnabler(int id) const;

 private:
  const CommandTable* base_ = nullptr;
  std::vector<Entry> entries_;
};

}  // namespace plat
