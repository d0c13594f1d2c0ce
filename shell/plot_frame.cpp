#include "shell/plot_frame.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "platform/app.h"
#include "platform/dc.h"
#include "platform/instance.h"
#include "platform/own_folders.h"
#include "platform/resources.h"
#include "core/binary_stream.h"
#include "shell/file_msg_win.h"
#include "shell/zor_win.h"

namespace kv {

namespace {

enum : int {
  CM_2D = 402,
  CM_3D = 403,
  CM_QUIZ = 404,
  CM_MAP_XY = 405,
  CM_MAP_Z = 407,
  CM_PLANETS = 409,
  CM_LOG_X = 413,
  CM_LOG_Y = 414,
  CM_LOG_XY = 415,
  CM_OPEN_LAST_FILE = 48,
  CM_STANDARD_SETTINGS = 49,
  CM_EXIT = 24310,
  CM_HELP = 354,
  CM_ABOUT = 355,
};

constexpr std::size_t kSettingsSize = 19;

}  // namespace

std::string& PendingFileName() {
  static std::string name;
  return name;
}

const std::string& WindowsDirectory() {
  static const std::string dir = plat::SettingsDirectory();
  return dir;
}

// ---------------------------------------------------------------------------

TBackGrnd::TBackGrnd() : plat::Window(nullptr, "") { SetBkgndColor(plat::Rgb(64, 128, 128)); }

// ---------------------------------------------------------------------------

TPlotFrame::TPlotFrame(plat::Window* parent, const std::string& caption) : plat::Window(parent, caption) {
  background_ = new TBackGrnd;
  SetClientWindow(background_);
  SetBkgndColor(plat::Rgb(64, 128, 128));
  AssignMenu("PLOTMENU");
  Counters.fill(0);
  OpenLastFile = 0;
  StandardSettings = 1;
  int r2 = plat::Rand();
  int r = plat::Rand();
  SetPlacement(Placement, 100 + r % 200, 20 + r2 % 40, 200, 120, 0);
  (void)WindowsDirectory();
}

const plat::CommandTable& TPlotFrame::Commands() const {
  static const auto table = plat::CommandTable::Build<TPlotFrame>(
      &plat::Window::Commands(), {
                                     {CM_2D, &TPlotFrame::CmNew2D},
                                     {CM_3D, &TPlotFrame::CmNew3D},
                                     {CM_QUIZ, &TPlotFrame::CmQuiz},
                                     {CM_MAP_XY, &TPlotFrame::CmMappingXY},
                                     {CM_MAP_Z, &TPlotFrame::CmMappingZ},
                                     {CM_LOG_X, CM_LOG_XY, &TPlotFrame::CmLog},
                                     {CM_PLANETS, &TPlotFrame::CmPlanets},
                                     {CM_OPEN_LAST_FILE, &TPlotFrame::CmOpenLastFile},
                                     {CM_STANDARD_SETTINGS, &TPlotFrame::CmStandardSettings},
                                     {CM_EXIT, &TPlotFrame::CmExit},
                                     {CM_HELP, &TPlotFrame::CmHelp},
                                     {CM_ABOUT, &TPlotFrame::CmAbout},
                                 });
  return table;
}

void TPlotFrame::SetupWindow() {
  plat::Window::SetupWindow();
  plat::ListenForHandOffs([this](const std::string& name) { ReceiveHandOff(name); });
  SetIcon(plat::res::String(999));

  PendingMaximise = 0;
  RemoveStaleSaveTemporaries(WindowsDirectory());
  std::vector<std::uint8_t> bytes;
  if (ReadWholeFile(WindowsDirectory() + SettingsFileName, bytes) && ApplySettingsBytes(bytes))
    PendingMaximise = Placement.maximised;
  ValidatePlacement();
  MoveWindow(Placement.x, Placement.y, Placement.width, Placement.height);
  UpdateChecks();
  DragAcceptFiles(true);

  auto* aux = new TZORWin(this, "name.ext");
  aux->FileVersion = 33;
  aux->HelpName = "PROGHELP";
  aux->Create();
  aux->Show(plat::SW_HIDE);
  AuxWindow = aux;
  plat::LogEvent("ready");
}

void TPlotFrame::ValidatePlacement() {
  plat::DeviceCaps screen = plat::ScreenCaps();
  const TPlacement& p = Placement;
  bool valid = p.x >= 0 && p.y >= 0 && p.height >= 72 && p.width >= 120 &&
               static_cast<long long>(p.x) + p.width <= screen.horzRes &&
               static_cast<long long>(p.y) + p.height <= screen.vertRes;
  if (!valid) {
    int r2 = plat::Rand();
    int r = plat::Rand();
    SetPlacement(Placement, r % 30, r2 % 30, 120, 72, 0);
  }
}

std::vector<std::uint8_t> TPlotFrame::SettingsBytes() const {
  ByteWriter w;
  WritePlacement(w, Placement);
  w.U8(OpenLastFile);
  w.U8(StandardSettings);
  return w.Data();
}

bool TPlotFrame::ApplySettingsBytes(const std::vector<std::uint8_t>& bytes) {
  // Anything but a well-formed image of exactly 19 bytes keeps the defaults.
  if (bytes.size() != kSettingsSize) return false;
  ByteReader r(bytes);
  TPlacement p = ReadPlacement(r);
  std::uint8_t openLast = r.U8();
  std::uint8_t standard = r.U8();
  if (r.Failed() || p.maximised > 1 || openLast > 1 || standard > 1 || (openLast && standard)) return false;
  Placement = p;
  OpenLastFile = openLast;
  StandardSettings = standard;
  return true;
}

void TPlotFrame::Destroy() {
  if (IsDestroyed()) return;
  plat::Rect r = NormalRect();
  SetPlacement(Placement, r.left, r.top, r.Width(), r.Height(), IsZoomed() ? 1 : 0);
  WriteFileAtomically(WindowsDirectory() + SettingsFileName, SettingsBytes());
  plat::StopListeningForHandOffs();
  AuxWindow = nullptr;
  plat::Window::Destroy();
}

void TPlotFrame::Paint(plat::DC&, bool, const plat::Rect&) {
  if (PendingMaximise) {
    PendingMaximise = 0;
    Show(plat::SW_SHOWMAXIMIZED);
  }
  std::string name = PendingFileName();
  PendingFileName().clear();
  if (!name.empty()) OpenByExtension(name);
}

void TPlotFrame::EvDropFiles(const std::vector<std::string>& paths) {
  for (const auto& p : paths) OpenByExtension(p);
}

void TPlotFrame::ReceiveHandOff(const std::string& name) {
  if (IsIconic()) Show(plat::SW_RESTORE);
  BringToTop();
  if (name.size() >= 2) OpenByExtension(name);
}

void TPlotFrame::OpenByExtension(const std::string& name) {
  auto dot = name.rfind('.');
  if (dot == std::string::npos || name.size() - dot != 4) return;
  SetForeground();
  std::string ext = name.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (ext == "KV2") New2DWindow(name);
  else if (ext == "KV3") New3DWindow(name);
  else if (ext == "MA2") NewMappingPair(name, 0);
  else if (ext == "MAZ") NewMappingPair(name, 1);
  else if (ext == "LKV") NewLogWindow(name, 1);
}

// ---- window creators ----

TFileMsgWin* TPlotFrame::MakeWindow(TWindowKind kind, const std::string& caption, int variant,
                                    const std::string& name, bool withSettings) {
  auto& creators = WindowCreators();
  if (!creators.construct) return nullptr;
  TNewWindowSettings s;
  s.hasNotes = withSettings && kind != TWindowKind::Quiz;
  s.openLastFile = withSettings && kind != TWindowKind::Quiz ? OpenLastFile : 0;
  s.loadSettingsOnSetup = withSettings ? (StandardSettings ? 0 : 1) : 0;
  s.standardSettings = StandardSettings;
  s.fileToOpen = name;
  s.fileVersion = 33;
  return creators.construct(kind, this, caption, variant, s);
}

namespace {

void CreateAndShow(TFileMsgWin* w) {
  if (!w) return;
  // A file name may hold a newline: the event log shows it as "\n".
  std::string name;
  for (char c : w->FileToOpen) name += c == '\n' ? std::string("\\n") : std::string(1, c);
  plat::LogEvent("open " + w->GetCaption() + "|" + name);
  w->Create();
  if (w->IsDestroyed()) return;
  w->Show(plat::SW_SHOWNORMAL);
  plat::LogIdleWhenPainted(*w);
  // Diagnostic seam for tests that drive the program from outside, not a
  // user feature: with $KURVATO_SNAPSHOT_DIR set, a window that opened its
  // file at start writes its painted client surface there as
  // "<file name>.png" (and the same pixels as "<file name>.bmp", which the
  // platform reads back for a pixel comparison), and the event log says
  // "snapshot <png path>".
  const char* dir = std::getenv("KURVATO_SNAPSHOT_DIR");
  if (dir && *dir && w->Named && !w->FileToOpen.empty()) {
    w->UpdateWindow();
    std::string part;
    GetFileNamePart(part, w->FileData.FileName);
    std::string base = dir;
    if (base.back() != '/') base += '/';
    base += part;
    if (w->Surface().WritePngFile(base + ".png") && w->Surface().WriteBmpFile(base + ".bmp"))
      plat::LogEvent("snapshot " + base + ".png");
  }
}

}  // namespace

TFileMsgWin* TPlotFrame::New2DWindow(const std::string& name) {
  std::string caption = plat::res::String(29) + std::to_string(Counters[0] + 1) + ".kv2";
  TFileMsgWin* w = MakeWindow(TWindowKind::Plot2D, caption, 0, name, true);
  if (!w) return nullptr;
  ++Counters[0];
  CreateAndShow(w);
  return w;
}

TFileMsgWin* TPlotFrame::New3DWindow(const std::string& name) {
  std::string caption = plat::res::String(29) + std::to_string(Counters[1] + 1) + ".kv3";
  TFileMsgWin* w = MakeWindow(TWindowKind::Plot3D, caption, 0, name, true);
  if (!w) return nullptr;
  ++Counters[1];
  CreateAndShow(w);
  return w;
}

TFileMsgWin* TPlotFrame::NewPlanetWindow(const std::string& name) {
  std::string caption = plat::res::String(29) + std::to_string(Counters[3] + 1) + ".kv2";
  TFileMsgWin* w = MakeWindow(TWindowKind::Planet, caption, 0, name, true);
  if (!w) return nullptr;
  ++Counters[3];
  CreateAndShow(w);
  return w;
}

TFileMsgWin* TPlotFrame::NewLogWindow(const std::string& name, int axisType) {
  std::string caption = plat::res::String(29) + std::to_string(Counters[4] + 1) + ".lkv";
  TFileMsgWin* w = MakeWindow(TWindowKind::Log, caption, axisType, name, true);
  if (!w) return nullptr;
  ++Counters[4];
  CreateAndShow(w);
  return w;
}

TFileMsgWin* TPlotFrame::NewMappingPair(const std::string& name, int mode) {
  std::string caption =
      plat::res::String(156) + std::to_string(Counters[2] + 1) + (mode == 0 ? ".ma2" : ".maz");
  TFileMsgWin* domain = MakeWindow(TWindowKind::Domain, caption, mode, name, true);
  if (!domain) return nullptr;
  ++Counters[2];
  TFileMsgWin* range = MakeWindow(TWindowKind::Range, plat::res::String(157), mode, "", false);
  if (!range) {
    delete domain;
    return nullptr;
  }
  if (WindowCreators().attachRange) WindowCreators().attachRange(domain, range);
  CreateAndShow(domain);
  CreateAndShow(range);
  return domain;
}

TFileMsgWin* TPlotFrame::NewQuizWindow() {
  TFileMsgWin* w = MakeWindow(TWindowKind::Quiz, plat::res::String(205), 0, "", true);
  if (!w) return nullptr;
  CreateAndShow(w);
  return w;
}

// ---- commands ----

void TPlotFrame::CmNew2D() { New2DWindow(""); }
void TPlotFrame::CmNew3D() { New3DWindow(""); }
void TPlotFrame::CmQuiz() { NewQuizWindow(); }
void TPlotFrame::CmMappingXY() { NewMappingPair("", 0); }
void TPlotFrame::CmMappingZ() { NewMappingPair("", 1); }
void TPlotFrame::CmLog(int id) { NewLogWindow("", id - CM_LOG_X + 1); }
void TPlotFrame::CmPlanets() { NewPlanetWindow(""); }

void TPlotFrame::CmOpenLastFile() {
  OpenLastFile = OpenLastFile ? 0 : 1;
  if (StandardSettings) StandardSettings = 0;
  UpdateChecks();
}

void TPlotFrame::CmStandardSettings() {
  StandardSettings = StandardSettings ? 0 : 1;
  if (OpenLastFile) OpenLastFile = 0;
  UpdateChecks();
}

void TPlotFrame::CmExit() { CloseWindow(); }

void TPlotFrame::CmHelp() {
  if (AuxWindow) AuxWindow->ShowHelpText("PROGHELP", "");
}

void TPlotFrame::CmAbout() {
  if (AuxWindow) AuxWindow->ShowAbout();
}

void TPlotFrame::UpdateChecks() {
  CheckMenuItem(CM_STANDARD_SETTINGS, StandardSettings != 0);
  CheckMenuItem(CM_OPEN_LAST_FILE, OpenLastFile != 0);
}

}  // namespace kv
