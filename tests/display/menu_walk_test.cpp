// Every command of every menu of every window kind, clicked in the running
// program as a user clicks it; each must do what its kind's expected-effects
// list says (walk/<kind>.txt: what a user sees, reviewed command by
// command).  One test per top-level menu of a window kind, so that the walk
// runs in parallel.
//
// With KURVATO_WALK_RECORD set to a folder, the observed effects are
// appended to <folder>/<kind>.txt in the lists' format instead of being
// checked.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <set>

#include "support/menu_walk.h"
#include "support/walk_kinds.h"

namespace kvdisplay {
namespace {

struct WalkCase {
  std::string kind;
  std::string popup;
};

void PrintTo(const WalkCase& c, std::ostream* os) { *os << c.kind << " " << c.popup; }

std::vector<WalkCase> AllCases() {
  std::vector<WalkCase> out;
  for (const WalkKind& k : WalkKinds())
    for (const std::string& p : MenuPopups(k.menu))
      if (k.popups.empty() || std::find(k.popups.begin(), k.popups.end(), p) != k.popups.end())
        out.push_back({k.name, p});
  return out;
}

std::string CaseName(const ::testing::TestParamInfo<WalkCase>& info) {
  std::string name = info.param.kind + "_";
  for (char c : info.param.popup) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (std::isalnum(u)) name += c;
    else if (u >= 0x80) name += 'x';
  }
  return name + "_" + std::to_string(info.index);
}

class MenuWalk : public WalkTest, public ::testing::WithParamInterface<WalkCase> {
 protected:
  const WalkKind& Kind() {
    for (const WalkKind& k : WalkKinds())
      if (k.name == GetParam().kind) return k;
    return WalkKinds().front();
  }
  TopWindow Open() {
    const TopWindow w = Kind().open(*this);
    if (w.id) program_->WaitMenuBar(w.id, 3000);
    PrepareWalk(*this, GetParam().kind, GetParam().popup, w);
    return w;
  }
};

TEST_P(MenuWalk, EveryCommandDoesWhatAUserExpects) {
  const WalkCase& c = GetParam();
  const char* record = std::getenv("KURVATO_WALK_RECORD");
  const std::string list = std::string(KURVATO_DISPLAY_SOURCE) + "/walk/" + c.kind + ".txt";
  const auto expected = ReadExpectedEffects(list);
  const auto paths = ReadExpectedPaths(list);
  TopWindow target = Open();
  ASSERT_NE(target.id, 0u) << "the " << c.kind << " window did not open";
  // Walks the command once and checks its effect against the list's entry
  // for `kind`; false when the next command must start afresh.
  const auto walk = [&](int id, const std::string& text, const std::string& kind, const WalkSetup* setup) {
    if (setup) setup->run(*this, target);
    // After the step: it may have started the program afresh.
    MenuWalker walker(Screen(), *program_);
    // One click, as a user gives it: an effect that only a second click
    // brings is a fault.
    const Effect e = walker.Run(target, id, setup && setup->keepClipboard);
    const auto it = expected.find({kind, id});
    if (record && *record) {
      std::ofstream out(std::string(record) + "/" + c.kind + ".txt", std::ios::app);
      out << kind << " " << id << " " << e.Text() << "  # " << (e.path.empty() ? text : e.path) << "\n";
    } else if (it == expected.end()) {
      ADD_FAILURE() << "no expected effect listed for " << kind << "; observed: " << e.Text();
    } else {
      EXPECT_TRUE(Matches(it->second, e)) << "expected: " << it->second << "\nobserved: " << e.Text();
      // The menu it was clicked in: a command moved elsewhere is a change
      // the list must be reviewed for.
      const auto where = paths.find({kind, id});
      EXPECT_TRUE(!e.path.empty() && where != paths.end() && StandsAt(where->second, e.path))
          << "the command stands at \"" << e.path << "\"; its list says \""
          << (where != paths.end() ? where->second : std::string()) << "\"";
    }
    for (const std::string& f : e.layoutFaults) ADD_FAILURE() << "dialog layout: " << f;
    // A program that hangs or has ended ("&Beenden"), a window that closed,
    // shows another menu or another document ("&Neu"): the next command
    // starts afresh.
    if (e.hung) ADD_FAILURE() << "the program stopped answering";
    const auto bar = program_->Running() ? program_->MenuBar(target.id) : std::nullopt;
    return !(e.hung || !program_->Running() || !Screen().Exists(target.id) || !bar || bar->menu != Kind().menu ||
             Screen().Caption(target.id) != target.caption);
  };
  std::set<int> walked;
  for (const auto& [id, text] : MenuCommands(Kind().menu, c.popup)) {
    SCOPED_TRACE(c.kind + " " + std::to_string(id) + " " + text);
    walked.insert(id);
    const auto before = Kind().before.find(id);
    bool same = walk(id, text, c.kind, before != Kind().before.end() ? &before->second : nullptr);
    // Greyed by what the walk did before it: walked again where a user
    // finds it enabled.
    if (const auto again = Kind().enabled.find(id); again != Kind().enabled.end()) {
      if (!same) target = Open();
      ASSERT_NE(target.id, 0u);
      same = walk(id, text, c.kind + "+", &again->second);
    }
    if (!same) {
      target = Open();
      ASSERT_NE(target.id, 0u);
    }
  }
  // A command the list places in this menu that the menu no longer holds
  // has moved away or gone.
  if (!record || !*record) {
    const std::string prefix = c.popup + " > ";
    for (const auto& [key, path] : paths)
      if (key.first == c.kind && path.rfind(prefix, 0) == 0 && !walked.count(key.second))
        ADD_FAILURE() << "the list places " << key.second << " at \"" << path << "\", but that menu does not hold it";
  }
}

INSTANTIATE_TEST_SUITE_P(Menus, MenuWalk, ::testing::ValuesIn(AllCases()), CaseName);

}  // namespace
}  // namespace kvdisplay
