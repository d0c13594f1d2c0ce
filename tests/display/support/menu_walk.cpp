#include "menu_walk.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "dialog_geometry.h"
#include "platform/resources.h"

namespace kvdisplay {

namespace {

bool StartsWith(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }

// How long a click on an item may take to reach the program (stretched for a
// busy machine), how long the screen must stand still before the effect
// counts as complete, and how long work may run before it is stopped.
constexpr int kReachMs = 3000;
constexpr int kQuietMs = 250;
constexpr int kRunningAfterMs = 4000;
constexpr int kQuietCaptionMs = 1000;
// How long a window that was closed may take to bring up the next one, and
// a window the program has logged to reach the screen (stretched).
constexpr int kFollowUpMs = 300;
constexpr int kShownMs = 1000;

std::vector<std::string> SplitTokens(const std::string& text) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t end = text.find(" & ", at);
    if (end == std::string::npos) end = text.size();
    std::string t = text.substr(at, end - at);
    while (!t.empty() && t.back() == ' ') t.pop_back();
    while (!t.empty() && t.front() == ' ') t.erase(0, 1);
    if (!t.empty()) out.push_back(t);
    at = end + 3;
  }
  return out;
}

// A message's text as one line: the log keeps the carriage returns of its
// line breaks (CR LF), which a list of expected effects cannot hold.
std::string MessageText(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

bool IsAppearance(const std::string& t) {
  return StartsWith(t, "dialog:") || StartsWith(t, "window:") || StartsWith(t, "message:") ||
         StartsWith(t, "closed:");
}

void CollectCommands(const std::vector<plat::res::MenuItem>& items, const std::string& prefix,
                     std::vector<std::pair<int, std::string>>& out) {
  for (const auto& it : items) {
    if (it.kind == plat::res::MenuItem::Command) {
      std::string text = it.text;
      std::replace(text.begin(), text.end(), '\t', ' ');
      out.emplace_back(it.id, prefix + text);
    } else if (it.kind == plat::res::MenuItem::Popup) {
      CollectCommands(it.children, prefix + it.text + " > ", out);
    }
  }
}

// The captions the program shows while long work runs ("Abbruch mit Taste
// A" and the others of the string table's status captions).
bool IsBusyCaption(const std::string& caption) {
  static const std::set<std::string> busy = [] {
    std::set<std::string> s;
    for (int k = 601; k <= 610; ++k)
      if (plat::res::HasString(k)) s.insert(plat::res::String(k));
    return s;
  }();
  return busy.count(caption) != 0;
}

}  // namespace

std::string Effect::Text() const {
  std::string out;
  for (const std::string& t : tokens) out += (out.empty() ? "" : " & ") + t;
  return out.empty() ? "none" : out;
}

namespace {

// An expected token ending in "*" stands for every token that starts with
// the rest (a message whose text is random, say).
bool TokenMatches(const std::string& want, const std::string& seen) {
  if (!want.empty() && want.back() == '*') return StartsWith(seen, want.substr(0, want.size() - 1));
  return want == seen;
}

}  // namespace

bool Matches(const std::string& expected, const Effect& observed) {
  const std::vector<std::string> want = SplitTokens(expected);
  auto anyOf = [](const std::vector<std::string>& list, const std::string& w, bool listIsSeen) {
    for (const std::string& x : list)
      if (listIsSeen ? TokenMatches(w, x) : TokenMatches(x, w)) return true;
    return false;
  };
  for (const std::string& t : want) {
    if (t == "none") {
      if (!observed.tokens.empty() && !(observed.tokens.size() == 1 && observed.tokens[0] == "none")) return false;
      continue;
    }
    if (!anyOf(observed.tokens, t, true)) return false;
  }
  for (const std::string& t : observed.tokens)
    if (IsAppearance(t) && !anyOf(want, t, false)) return false;
  return true;
}

std::vector<std::pair<int, std::string>> MenuCommands(const std::string& menu, const std::string& popup) {
  std::vector<std::pair<int, std::string>> out;
  const plat::res::Menu* m = plat::res::FindMenu(menu);
  if (!m) return out;
  for (const auto& it : m->items) {
    if (!popup.empty() && it.text != popup) continue;
    if (it.kind == plat::res::MenuItem::Popup) CollectCommands(it.children, it.text + " > ", out);
    if (it.kind == plat::res::MenuItem::Command && popup.empty()) CollectCommands({it}, "", out);
    if (it.kind == plat::res::MenuItem::Command && it.text == popup) CollectCommands({it}, "", out);
  }
  return out;
}

std::vector<std::string> MenuPopups(const std::string& menu) {
  std::vector<std::string> out;
  if (const plat::res::Menu* m = plat::res::FindMenu(menu))
    for (const auto& it : m->items) out.push_back(it.text);
  return out;
}

namespace {

// Each line of a walk list, "kind id effect  # comment", as its kind, id,
// effect and comment (blanks around the comment trimmed).
template <typename Take>
void ReadWalkList(const std::string& path, Take take) {
  std::ifstream f(path);
  std::string line;
  while (std::getline(f, line)) {
    const std::size_t hash = line.find('#');
    std::istringstream in(line.substr(0, hash));
    std::string kind;
    int id = 0;
    if (!(in >> kind >> id)) continue;
    std::string effect;
    std::getline(in, effect);
    std::string comment = hash == std::string::npos ? std::string() : line.substr(hash + 1);
    while (!comment.empty() && comment.front() == ' ') comment.erase(0, 1);
    while (!comment.empty() && comment.back() == ' ') comment.pop_back();
    take(kind, id, effect, comment, hash != std::string::npos);
  }
}

}  // namespace

std::map<std::pair<std::string, int>, std::string> ReadExpectedEffects(const std::string& path) {
  std::map<std::pair<std::string, int>, std::string> out;
  ReadWalkList(path, [&](const std::string& kind, int id, const std::string& effect, const std::string&, bool) {
    out[{kind, id}] = effect;
  });
  return out;
}

std::map<std::pair<std::string, int>, std::string> ReadExpectedPaths(const std::string& path) {
  std::map<std::pair<std::string, int>, std::string> out;
  ReadWalkList(path, [&](const std::string& kind, int id, const std::string&, const std::string& comment,
                         bool commented) {
    if (commented) out[{kind, id}] = comment;
  });
  return out;
}

bool StandsAt(const std::string& comment, const std::string& path) {
  if (path.empty() || !StartsWith(comment, path)) return false;
  if (comment.size() == path.size()) return true;
  const char next = comment[path.size()];
  return next == ' ' || next == ':' || next == ',' || next == ';';
}

// ---- the walker ----

std::uint64_t MenuWalker::PictureOf(unsigned long window, bool plot) {
  Rect part = x_.Geometry(window);
  part.x = part.y = 0;
  if (plot) {
    // The picture below the menu bar: the bar highlights its entries.
    if (auto bar = p_.MenuBar(window)) {
      int bottom = 0;
      for (const LoggedItem& e : bar->entries) bottom = std::max(bottom, e.rect.y + e.rect.h);
      part.y = bottom;
      part.h -= bottom;
    }
  }
  return x_.Capture(window, part).Hash();
}

MenuWalker::Snapshot MenuWalker::Take(const TopWindow&) {
  Snapshot s;
  s.windows = x_.Windows();
  for (const TopWindow& w : s.windows) s.pictures.emplace_back(w.id, PictureOf(w.id, p_.MenuBar(w.id).has_value()));
  return s;
}

namespace {

const TopWindow* FindWindow(const std::vector<TopWindow>& ws, unsigned long id) {
  for (const TopWindow& w : ws)
    if (w.id == id) return &w;
  return nullptr;
}

std::uint64_t PictureIn(const std::vector<std::pair<unsigned long, std::uint64_t>>& ps, unsigned long id) {
  for (const auto& [w, h] : ps)
    if (w == id) return h;
  return 0;
}

bool SameScreen(const std::vector<TopWindow>& aw, const std::vector<std::pair<unsigned long, std::uint64_t>>& ap,
                const std::vector<TopWindow>& bw, const std::vector<std::pair<unsigned long, std::uint64_t>>& bp) {
  if (aw.size() != bw.size()) return false;
  for (std::size_t i = 0; i < aw.size(); ++i)
    if (aw[i].id != bw[i].id || aw[i].caption != bw[i].caption) return false;
  return ap == bp;
}

}  // namespace

void MenuWalker::CloseNewWindows(const std::set<unsigned long>& before, Effect& e) {
  // Closing one window may open another (a question, a message); a few
  // rounds, each after the program has had a moment to show it (one it has
  // logged since the closing, as long as a busy machine needs).
  std::size_t closing = p_.Log().Size();
  for (int round = 0; round < 4; ++round) {
    std::vector<TopWindow> extra;
    const auto collect = [&] {
      extra.clear();
      for (const TopWindow& w : x_.Windows())
        if (!before.count(w.id)) extra.push_back(w);
      return !extra.empty();
    };
    const auto logged = [&] {
      return p_.Log().Find("dialog ", closing) >= 0 || p_.Log().Find("message ", closing) >= 0;
    };
    bool any = collect();
    for (const std::int64_t start = NowMs(); !any && round > 0; any = collect()) {
      const std::int64_t waited = NowMs() - start;
      if (waited >= Patient(kShownMs) || (waited >= kFollowUpMs && !logged())) break;
      Pause(20);
    }
    if (!any) return;
    closing = p_.Log().Size();
    for (auto it = extra.rbegin(); it != extra.rend(); ++it) {
      if (!x_.Exists(it->id)) continue;
      x_.Activate(it->id);
      x_.Key("Escape");
      if (x_.WaitGone(it->id, 800)) continue;
      x_.Close(it->id);
      if (x_.WaitGone(it->id, 1500)) continue;
      e.hung = true;
    }
  }
}

Effect MenuWalker::Run(const TopWindow& target, int id, bool keepClipboard) {
  Effect e;
  x_.Activate(target.id);
  x_.Settled(target.id, 250, 4000);
  const Snapshot before = Take(target);
  std::set<unsigned long> beforeIds;
  for (const TopWindow& w : before.windows) beforeIds.insert(w.id);
  if (!keepClipboard) x_.ClearClipboard();
  const unsigned long clipboardBefore = x_.ClipboardOwner();
  const std::size_t logFrom = p_.Log().Size();

  // The menu the command is clicked in: the one shown before, as a
  // command may change the window's menu (the polynomial editor's).
  const auto bar = p_.MenuBar(target.id);
  LoggedItem item;
  const Invoked r = p_.Command(target.id, id, &item);
  // Where it stood: the popups opened to reach it and the item as shown.
  if (r == Invoked::Done || r == Invoked::Disabled) {
    if (const auto popups = bar ? p_.MenuPath(bar->menu, id) : std::nullopt)
      for (const std::string& title : *popups) e.path += title + " > ";
    e.path += item.text;
  }
  if (r == Invoked::Disabled) {
    e.tokens.push_back("disabled");
    return e;
  }
  if (r != Invoked::Done) {
    e.tokens.push_back(std::string("error:") + InvokedName(r));
    e.hung = !p_.Answers(target.id, 2000);
    return e;
  }
  // The program logs the command as its handler starts, or that the
  // command's enabler refused it: a click that reached neither is lost.
  const std::string key = std::to_string(target.id) + " " + std::to_string(id);
  bool refused = false;
  const int started = p_.WaitCommand(target.id, id, logFrom, kReachMs, &refused);
  if (started < 0 || refused) {
    e.tokens.push_back(refused ? "refused" : "error:lost");
    return e;
  }

  // Watch until the screen stands still after a change, or until the
  // handler has returned and the program has nothing left to paint.
  const std::int64_t start = NowMs();
  std::int64_t lastChange = start;
  Snapshot prev = before;
  std::optional<Snapshot> beforePrev;
  std::map<unsigned long, std::string> appeared;  // every new window seen, by id
  bool running = false;
  int doneAt = -1;
  bool idle = false;
  std::map<unsigned long, std::int64_t> loggedDialogs;  // dialogs the log shows, when first seen
  for (;;) {
    x_.Sync();
    if (doneAt < 0) doneAt = p_.Log().Find("done " + key, static_cast<std::size_t>(started));
    if (doneAt >= 0 && !idle) idle = p_.Log().Find("idle", static_cast<std::size_t>(doneAt)) >= 0;
    Snapshot now = Take(target);
    for (const TopWindow& w : now.windows)
      if (!beforeIds.count(w.id)) appeared[w.id] = w.caption;
    if (!SameScreen(now.windows, now.pictures, prev.windows, prev.pictures)) {
      // A screen that only goes back to the state before the last one is a
      // blinking text cursor, not work going on: it does not count as a
      // change for the time the screen must stand still.
      const bool toggles = beforePrev && SameScreen(now.windows, now.pictures, beforePrev->windows, beforePrev->pictures);
      if (!toggles) lastChange = NowMs();
      beforePrev = std::move(prev);
      prev = std::move(now);
    }
    const bool changed = !SameScreen(prev.windows, prev.pictures, before.windows, before.pictures) ||
                         !appeared.empty() || x_.ClipboardOwner() != clipboardBefore ||
                         p_.Log().Find("message ", logFrom) >= 0;
    // A window that shows a status caption still works, however still its
    // picture stands.
    bool busy = false;
    for (const TopWindow& w : prev.windows) busy = busy || IsBusyCaption(w.caption);
    // Every dialog the program has shown must be on the screen before the
    // effect counts as complete (unless it went again at once).
    const std::int64_t t = NowMs();
    for (unsigned long d : p_.DialogsSince(logFrom)) loggedDialogs.emplace(d, t);
    bool dialogsShown = true;
    for (const auto& [d, seen] : loggedDialogs)
      dialogsShown =
          dialogsShown && (FindWindow(prev.windows, d) || beforeIds.count(d) || t - seen > Patient(kShownMs));
    // A window whose caption changed may be at work (the caption says how
    // to stop it) with its new picture still to come: it must stand still
    // longer.
    const TopWindow* was = FindWindow(before.windows, target.id);
    const TopWindow* is = FindWindow(prev.windows, target.id);
    const bool captionChanged = was && is && was->caption != is->caption;
    const int quiet = captionChanged && !idle ? kQuietCaptionMs : kQuietMs;
    if (!busy && dialogsShown && t - lastChange >= quiet && (idle || changed)) break;
    if ((changed || busy) && t - start >= Patient(kRunningAfterMs)) {
      running = true;
      break;
    }
    // A handler that neither returns nor shows anything.
    if (!changed && !busy && t - start >= Patient(kRunningAfterMs)) {
      running = true;
      break;
    }
    Pause(40);
  }

  // What the user saw.
  const auto& lines = p_.Log().Lines();
  std::vector<std::string> messages;
  for (std::size_t i = logFrom; i < lines.size(); ++i)
    if (StartsWith(lines[i], "message ")) messages.push_back(MessageText(lines[i].substr(8)));
  std::size_t nextMessage = 0;
  for (const auto& [wid, caption] : appeared) {
    std::string token;
    const std::string prefix = "dialog " + std::to_string(wid) + " ";
    for (std::size_t i = logFrom; i < lines.size() && token.empty(); ++i)
      if (StartsWith(lines[i], prefix)) {
        const std::string rest = lines[i].substr(prefix.size());
        token = "dialog:" + rest.substr(0, rest.find(' '));
      }
    // A message box is named by its text.
    if (token == "dialog:MESSAGEBOX") token.clear();
    if (token.empty() && nextMessage < messages.size()) token = "message:" + messages[nextMessage++];
    if (token.empty()) token = "window:" + caption;
    e.tokens.push_back(token);
  }
  for (; nextMessage < messages.size(); ++nextMessage) e.tokens.push_back("message:" + messages[nextMessage]);
  for (const TopWindow& w : before.windows) {
    const TopWindow* after = FindWindow(prev.windows, w.id);
    if (!after) {
      e.tokens.push_back("closed:" + w.caption);
      continue;
    }
    if (w.id == target.id && after->caption != w.caption) e.tokens.push_back("caption:" + after->caption);
    if (PictureIn(prev.pictures, w.id) != PictureIn(before.pictures, w.id))
      e.tokens.push_back(w.id == target.id ? "pixels" : "pixels:" + w.caption);
  }
  if (x_.ClipboardOwner() != clipboardBefore) e.tokens.push_back("clipboard");
  if (running) e.tokens.push_back("runs");
  if (!p_.Running()) {
    e.tokens.push_back("exits");
    return e;
  }

  // The dialogs still open keep the layout rules.
  for (const auto& [wid, caption] : appeared) {
    if (!x_.Exists(wid)) continue;
    if (auto d = p_.Dialog(wid))
      for (const std::string& f : DialogGeometryFaults(x_, *d)) e.layoutFaults.push_back(f);
  }

  // Put the screen back.
  if (running && x_.Exists(target.id)) {
    x_.Activate(target.id);
    x_.Key("a");
    x_.Settled(target.id, 200, 3000);
  }
  CloseNewWindows(beforeIds, e);
  if (x_.Exists(target.id)) {
    x_.Activate(target.id);
    bool answers = p_.Answers(target.id, 2000);
    if (!answers) {
      // A window that came a moment after the others closed (a message
      // after a cancelled print dialog) may hold the menu.
      CloseNewWindows(beforeIds, e);
      x_.Activate(target.id);
      answers = p_.Answers(target.id, 2000);
    }
    if (!answers) {
      e.hung = true;
      return e;
    }
    // A check mark is looked at in the menu again.
    if (item.check != '-' || e.tokens.empty()) {
      if (auto now = p_.MenuItem(target.id, id); now && now->check != item.check && now->check != '-')
        e.tokens.push_back(now->check == 'c' ? "check:on" : "check:off");
    }
  }
  if (e.tokens.empty()) e.tokens.push_back("none");
  return e;
}

}  // namespace kvdisplay
