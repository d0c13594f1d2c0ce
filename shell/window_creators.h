// How the main frame makes the plot windows of each kind.  The window
// classes live in higher layers; the program registers one creator per kind
// at start-up (app/), so the frame does not depend on them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace plat {
class Window;
}

namespace kv {

class TFileMsgWin;

// What the frame fills into a new window before it is created.
struct TNewWindowSettings {
  bool hasNotes = false;
  std::uint8_t openLastFile = 0;
  std::uint8_t loadSettingsOnSetup = 1;
  std::uint8_t standardSettings = 0;
  std::string fileToOpen;
  std::int32_t fileVersion = 33;
};

enum class TWindowKind { Plot2D, Plot3D, Planet, Log, Quiz, Domain, Range };

struct TWindowCreators {
  // Constructs (does not create) a window of the kind with the frame as
  // parent and the caption, applies the settings, and returns it; null when
  // it cannot be made.  `variant` is the axis type of logarithmic windows
  // (1..3) and the mapping mode of domain and range windows (0 xy, 1 z).
  std::function<TFileMsgWin*(TWindowKind kind, plat::Window* parent, const std::string& caption, int variant,
                             const TNewWindowSettings& settings)>
      construct;
  // Connects a mapping's range window to its domain window (the range
  // window then works on the domain's inventory).
  std::function<void(TFileMsgWin* domain, TFileMsgWin* range)> attachRange;
  // Constructs (does not create) the 3D surface window in which a 2D window
  // shows its solids, with that window as parent and the caption; closing it
  // hides it.  `forget` runs when it is destroyed, so that its owner can
  // drop its pointer.  Null when it cannot be made.
  std::function<TFileMsgWin*(plat::Window* parent, const std::string& caption, std::function<void()> forget)>
      companion3D;
};

TWindowCreators& WindowCreators();

}  // namespace kv
