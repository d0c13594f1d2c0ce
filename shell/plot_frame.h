// The program's main window: a small frame whose menu "&Fenster" creates the
// plot windows of every kind (top-level windows with this frame as parent).
// It keeps its placement and two options in "kv.ini", opens files dropped on
// it and files handed over by a second start, and opens the file named on
// the command line at its first paint.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/text_helpers.h"
#include "shell/window_creators.h"
#include "platform/window.h"

namespace kv {

class TFileMsgWin;
class TZORWin;

// The frame's client: a plain window that paints its background.
class TBackGrnd : public plat::Window {
 public:
  TBackGrnd();
};

class TPlotFrame : public plat::Window {
 public:
  TPlotFrame(plat::Window* parent, const std::string& caption);

  void SetupWindow() override;
  void Destroy() override;
  void Paint(plat::DC& dc, bool erase, const plat::Rect& rect) override;
  void EvDropFiles(const std::vector<std::string>& paths) override;
  const plat::CommandTable& Commands() const override;

  // Opens a file in a new window of the kind its extension names.
  void OpenByExtension(const std::string& name);
  // A second start handed over a name (empty: just come to the front).
  void ReceiveHandOff(const std::string& name);

  // Window creators; an empty name makes a new, empty window.  Each returns
  // the window it made, or null.
  TFileMsgWin* New2DWindow(const std::string& name);
  TFileMsgWin* New3DWindow(const std::string& name);
  TFileMsgWin* NewMappingPair(const std::string& name, int mode);
  TFileMsgWin* NewPlanetWindow(const std::string& name);
  TFileMsgWin* NewLogWindow(const std::string& name, int axisType);
  TFileMsgWin* NewQuizWindow();

  // The "kv.ini" image of the current state (19 bytes).
  std::vector<std::uint8_t> SettingsBytes() const;
  // Applies a "kv.ini" image; false (nothing applied) when it is not a
  // well-formed 19-byte image.
  bool ApplySettingsBytes(const std::vector<std::uint8_t>& bytes);

  // ---- state ----
  // Window counters: 2D, 3D, mapping pairs, planets, logarithmic, two unused.
  std::array<std::uint16_t, 7> Counters{};
  TPlacement Placement;
  // The hidden window that shows the program help (354) and the About box
  // (355).
  TZORWin* AuxWindow = nullptr;
  std::uint8_t PendingMaximise = 0;
  std::string SettingsFileName = "kv.ini";
  std::uint8_t OpenLastFile = 0;
  std::uint8_t StandardSettings = 1;

 private:
  void CmNew2D();
  void CmNew3D();
  void CmQuiz();
  void CmMappingXY();
  void CmMappingZ();
  void CmLog(int id);
  void CmPlanets();
  void CmOpenLastFile();
  void CmStandardSettings();
  void CmExit();
  void CmHelp();
  void CmAbout();
  void UpdateChecks();
  TFileMsgWin* MakeWindow(TWindowKind kind, const std::string& caption, int variant, const std::string& name,
                          bool withSettings);
  void ValidatePlacement();

  TBackGrnd* background_ = nullptr;
};

// The process-wide pending file name: the joined command line until the
// main frame's first paint opens it.
std::string& PendingFileName();
// The settings folder (the program's "Windows directory"), ending in '/'.
const std::string& WindowsDirectory();

}  // namespace kv
