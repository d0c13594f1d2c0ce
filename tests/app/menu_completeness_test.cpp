// Every command in every menu of every window kind has a handler in the
// window that shows the menu, or stands in the pending list below: commands
// of features not built yet.  A command without a handler is greyed in the
// running program (the platform's command routing enables only commands
// that have one), so no menu item does nothing when clicked.
//
// When you build a command: give the window a handler for it, delete its
// line here, and make it work in the running program.  The list is empty
// when the program is done.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/window_registry.h"
#include "platform/app.h"
#include "platform/resources.h"
#include "shell/plot_frame.h"
#include "entry/data_win.h"
#include "entry/plot11_win.h"
#include "entry/side_windows.h"
#include "entry/table_win.h"
#include "plot3d/level_win.h"
#include "plot3d/plot_r_win.h"
#include "plot3d/stereogram_win.h"
#include "plotcore/model/equation.h"
#include "plot2d/plot_c_win.h"
#include "shell/col_win.h"
#include "shell/note_win.h"
#include "shell/text_win.h"
#include "shell/zor_win.h"
#include "support/test_env.h"

namespace kv {
namespace {

// The window kinds, by the menu resource each shows (bits, so that one
// pending line can name several kinds).
enum Kind : unsigned {
  kFrame = 1u << 0,
  kBase = 1u << 1,
  k2D = 1u << 2,
  k3D = 1u << 3,
  kPlanet = 1u << 4,
  kDomain = 1u << 5,
  kRange = 1u << 6,
  kQuiz = 1u << 7,
  kLog = 1u << 8,
  kText = 1u << 9,
  kNotes = 1u << 10,
  kColour = 1u << 11,
  kTable = 1u << 12,
  kSide = 1u << 13,
  kData = 1u << 14,
  kLevel = 1u << 15,
  kStereogram = 1u << 16,
  kLagrangeEditor = 1u << 17,
};
// The planet, mapping-domain and log windows are 2D windows too.
constexpr unsigned k2DWindows = k2D | kPlanet | kDomain | kLog;
constexpr unsigned kPlotWindows = k2DWindows | k3D;

const char* KindName(unsigned k) {
  switch (k) {
    case kFrame: return "main frame";
    case kBase: return "window base";
    case k2D: return "2D window";
    case k3D: return "3D window";
    case kPlanet: return "planet window";
    case kDomain: return "mapping domain";
    case kRange: return "mapping range";
    case kQuiz: return "quiz window";
    case kLog: return "log window";
    case kText: return "text window";
    case kNotes: return "notes window";
    case kColour: return "colour window";
    case kTable: return "table window";
    case kSide: return "time window";
    case kData: return "data window";
    case kLevel: return "level window";
    case kStereogram: return "stereogram window";
    default: return "Lagrange editor";
  }
}

// A pending line names window kinds and a range of command ids.
struct Pending {
  unsigned kinds;
  int first;
  int last;
  const char* feature;
};

// Commands of features not built yet.
const std::vector<Pending>& PendingCommands() {
  static const std::vector<Pending> list = {};
  return list;
}

bool IsPending(unsigned kind, int id) {
  for (const Pending& p : PendingCommands())
    if ((p.kinds & kind) && id >= p.first && id <= p.last) return true;
  return false;
}

void CollectIds(const std::vector<plat::res::MenuItem>& items, std::vector<int>& ids) {
  for (const auto& it : items) {
    if (it.kind == plat::res::MenuItem::Command) ids.push_back(it.id);
    if (it.kind == plat::res::MenuItem::Popup) CollectIds(it.children, ids);
  }
}

class MenuCompleteness : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowCreators();
    kvtest::ClearSettingsFolder();
    frame_ = new TPlotFrame(nullptr, "Kurvato");
    ASSERT_TRUE(frame_->Create());
  }
  void TearDown() override {
    if (frame_ && !frame_->IsDestroyed()) frame_->Destroy();
    plat::App::DeleteDestroyedWindows();
  }
  // One window of each kind.
  std::vector<std::pair<unsigned, plat::Window*>> Windows() {
    std::vector<std::pair<unsigned, plat::Window*>> out = {{kFrame, frame_}, {kBase, frame_->AuxWindow}};
    out.emplace_back(k2D, frame_->New2DWindow(""));
    out.emplace_back(k3D, frame_->New3DWindow(""));
    // The level and stereogram windows of a 3D window with a surface.
    auto* three = dynamic_cast<TPlotRWin*>(out.back().second);
    if (three) {
      const int bowl = three->AppendEquation(kKindSurface, {"", "", "xx+yy"});
      three->CompileEquation(bowl);
      three->AddLevelCurve(bowl, kLevelAxisZ, 1, false, false, false, false);
      three->ShowStereogramWindow();
    }
    out.emplace_back(kLevel, three ? static_cast<plat::Window*>(three->LevelWin) : nullptr);
    out.emplace_back(kStereogram, three ? static_cast<plat::Window*>(three->StereogramWin) : nullptr);
    out.emplace_back(kPlanet, frame_->NewPlanetWindow(""));
    TFileMsgWin* domain = frame_->NewMappingPair("", 0);
    out.emplace_back(kDomain, domain);
    for (plat::Window* c : frame_->Children())
      if (c != domain && c->MenuName() == "RAN2MENU") out.emplace_back(kRange, c);
    out.emplace_back(kQuiz, frame_->NewQuizWindow());
    out.emplace_back(kLog, frame_->NewLogWindow("", 1));
    // The companion windows of a plot window.
    auto* two = dynamic_cast<TZORWin*>(out[2].second);
    out.emplace_back(kText, two ? two->TextWindow : nullptr);
    out.emplace_back(kNotes, two ? two->NotesWindow : nullptr);
    if (two) two->ChooseColourForSlot(1);
    out.emplace_back(kColour, two ? two->ColourWindow : nullptr);
    // The table, time and data windows of a 2D window with an entry.
    auto* plot = dynamic_cast<TPlot11Win*>(out[2].second);
    if (plot) {
      plot->AppendEquation(kKindExplicit, {"", "x"});
      plot->OpenEntryTable(0);
    }
    out.emplace_back(kTable, plot ? static_cast<plat::Window*>(plot->TableWindow()) : nullptr);
    out.emplace_back(kSide, plot ? static_cast<plat::Window*>(plot->OpenTimeWindow(0)) : nullptr);
    out.emplace_back(kData, plot ? static_cast<plat::Window*>(plot->OpenDataWindow()) : nullptr);
    // A 2D window in the Lagrange editor shows its own menu.
    auto* editor = dynamic_cast<TPlotCWin*>(frame_->New2DWindow(""));
    if (editor) editor->CmNewLagrange();
    out.emplace_back(kLagrangeEditor, editor);
    return out;
  }
  TPlotFrame* frame_ = nullptr;
};

TEST_F(MenuCompleteness, EveryMenuCommandHasAHandlerOrIsPending) {
  std::set<std::string> shown;
  std::set<std::pair<unsigned, int>> listed;  // (kind, id) of every menu command
  std::ostringstream missing;
  std::ostringstream built;
  for (const auto& [kind, w] : Windows()) {
    ASSERT_NE(w, nullptr) << KindName(kind);
    const std::string menu = w->MenuName();
    const plat::res::Menu* m = plat::res::FindMenu(menu);
    ASSERT_NE(m, nullptr) << KindName(kind) << " shows " << menu;
    shown.insert(menu);
    std::vector<int> ids;
    CollectIds(m->items, ids);
    for (int id : ids) {
      listed.insert({kind, id});
      const bool handled = w->Commands().FindHandler(id) != nullptr;
      const bool pending = IsPending(kind, id);
      if (!handled && !pending) missing << "\n  " << KindName(kind) << " (" << menu << "): " << id;
      if (handled && pending) built << "\n  " << KindName(kind) << ": " << id;
      // What the user sees: a pending command is greyed.
      if (pending && w->IsMenuItemEnabled(id)) ADD_FAILURE() << KindName(kind) << ": pending " << id << " is enabled";
    }
  }
  EXPECT_TRUE(missing.str().empty()) << "commands without a handler, not pending:" << missing.str();
  EXPECT_TRUE(built.str().empty()) << "commands with a handler still pending (delete their lines):" << built.str();
  // The list names only commands that are in a menu of that window kind.
  for (const Pending& p : PendingCommands()) {
    for (unsigned kind = 1; kind <= kLagrangeEditor; kind <<= 1) {
      if (!(p.kinds & kind)) continue;
      bool any = false;
      for (int id = p.first; id <= p.last && !any; ++id) any = listed.count({kind, id}) > 0;
      EXPECT_TRUE(any) << KindName(kind) << ": pending " << p.first << " (" << p.feature << ") is in none of its menus";
    }
  }
  // Every menu resource is shown by one of the window kinds above.
  for (const std::string& name : plat::res::AllMenuNames()) EXPECT_TRUE(shown.count(name)) << name;
}

// The texts of commands that read differently in some window kinds, and the
// pop-up a command stands in where that matters.
TEST(MenuTexts, AxisLabelsFontCentringAndDecimalsAsEachKindNamesThem) {
  std::function<const plat::res::MenuItem*(const std::vector<plat::res::MenuItem>&, int)> find =
      [&](const std::vector<plat::res::MenuItem>& items, int id) -> const plat::res::MenuItem* {
    for (const auto& it : items) {
      if (it.kind == plat::res::MenuItem::Command && it.id == id) return &it;
      if (it.kind == plat::res::MenuItem::Popup)
        if (const auto* found = find(it.children, id)) return found;
    }
    return nullptr;
  };
  struct Case {
    const char* menu;
    int id;
    const char* text;
  };
  const Case cases[] = {
      {"LEVELMENU", 102, "&Schriftart ..."}, {"LEVELMENU", 65, "&Achsenbeschriftung ..."},
      {"GUESSMENU", 102, "&Schriftart ..."}, {"GUESSMENU", 65, "&Achsenbeschriftung ..."},
      {"TXMENU", 102, "&Schriftart ..."},    {"TXMENU", 65, "&Achsenbeschriftung ..."},
      {"DOM2MENU", 102, "&Schriftart ..."},  {"RAN2MENU", 102, "&Schriftart ..."},
      {"PLOT3MENU", 125, "&Zentrieren (R)"},   {"PLOT2MENU", 105, "Nach&kommastellen ..."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.menu) + " " + std::to_string(c.id));
    const plat::res::Menu* m = plat::res::FindMenu(c.menu);
    ASSERT_NE(m, nullptr);
    const plat::res::MenuItem* item = find(m->items, c.id);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text, c.text);
  }
  // The curve integral takes a field and a curve: a tool for two entries.
  const plat::res::Menu* space = plat::res::FindMenu("PLOT3MENU");
  ASSERT_NE(space, nullptr);
  std::string holder;
  for (const auto& top : space->items)
    if (top.kind == plat::res::MenuItem::Popup && find(top.children, 832)) holder = top.text;
  EXPECT_EQ(holder, "&Zwei");
}

}  // namespace
}  // namespace kv
