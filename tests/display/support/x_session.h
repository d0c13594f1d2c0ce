// A private X display with a window manager, and the input a user gives it:
// key presses and mouse clicks through the XTest extension, as the X server
// delivers them to whatever window has the focus or lies under the pointer.
// It also reads back what the screen shows: the managed windows with their
// captions and places, and their pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace kvdisplay {

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  int CentreX() const { return x + w / 2; }
  int CentreY() const { return y + h / 2; }
  bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// One top-level window the window manager manages.
struct TopWindow {
  unsigned long id = 0;
  std::string caption;
  Rect rect;  // the client window in screen coordinates (without decorations)
};

// A rectangle of pixels, 0xRRGGBB each.
struct Image {
  int w = 0, h = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * w + x]; }
  bool Empty() const { return pixels.empty(); }
  std::uint64_t Hash() const;
  // Pixels of colour c (0xRRGGBB).
  int Count(std::uint32_t c) const;
  bool WritePpm(const std::string& path) const;
};

// Keys are named by X keysym names ("a", "Escape", "F1", "Return",
// "space"), optionally with modifiers: "ctrl+a", "shift+ctrl+s", "alt+F4".
class XSession {
 public:
  // Starts Xvfb (1280 x 1024, 24 bits) on a free display and openbox on it,
  // and waits until openbox manages windows.
  XSession();
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  // True once the server answers and its window manager manages windows;
  // Describe says what failed otherwise.
  bool Ok() const { return dpy_ != nullptr && managed_; }
  const std::string& DisplayName() const { return name_; }

  // ---- input ----
  void Key(const std::string& combo);
  void Type(const std::string& utf8);
  void MoveTo(int x, int y);
  void Click(int x, int y, int button = 1);
  void DoubleClick(int x, int y);
  void Press(int x, int y, int button = 1);
  void Release(int x, int y, int button = 1);
  // Moves the pointer to a corner where it covers nothing of interest.
  void Park();

  // ---- windows ----
  std::vector<TopWindow> Windows();
  // The window with exactly this caption (or whose caption starts with it
  // when prefix is set); id 0 when there is none.
  TopWindow Find(const std::string& caption, bool prefix = false);
  // Waits up to ms milliseconds (stretched) for such a window.  When none
  // comes, what the server shows then is written to stderr (Describe)
  // unless the caller says so itself (`tell` false).
  TopWindow WaitFor(const std::string& caption, int ms, bool prefix = false, bool tell = true);
  // What the X server shows, for a failure message: the display, how the
  // session came up and whether its window manager still runs, the windows
  // the manager lists, and every top-level window with its caption and
  // mapped state (a frame with the window it holds).
  std::string Describe();
  bool WaitGone(unsigned long id, int ms);
  std::string Caption(unsigned long id);
  Rect Geometry(unsigned long id);
  bool Exists(unsigned long id);
  // True when a window that no window manager frames (an opened menu) is
  // on the screen with exactly this geometry.
  bool ShowsPopupAt(const Rect& r);
  // Screen position of a point given relative to the window.
  void ToScreen(unsigned long id, int& x, int& y);
  // True once the window manager has framed the window (it has set the
  // frame's extents): its place no longer changes unless it is asked to.
  bool Framed(unsigned long id);
  // Asks the window manager to activate (raise and focus) the window, as a
  // task bar does, and waits until it has the focus.
  bool Activate(unsigned long id);
  unsigned long Active();
  // Asks the window manager to close the window, as its close box does.
  void Close(unsigned long id);
  // Asks the window manager to minimise the window, as a task bar does;
  // Activate shows it again.  True once it is off the screen.
  bool Iconify(unsigned long id);

  // ---- pixels ----
  // The window's own pixels (also where other windows overlap it), or a
  // part of them in window coordinates.
  Image Capture(unsigned long id);
  Image Capture(unsigned long id, const Rect& part);
  Image CaptureScreen(const Rect& part);
  // Waits until the window's pixels have not changed for `quiet` ms (at
  // most ms in all, stretched for a busy machine); the last capture.
  // `settled` says whether they stood still in time.
  Image Settled(unsigned long id, int quiet = 150, int ms = 3000, bool* settled = nullptr);

  // ---- clipboard ----
  // The window that owns the CLIPBOARD selection (0 for none), and a way to
  // take it away so that a copy shows as a new owner.
  unsigned long ClipboardOwner();
  // The text on the clipboard as its owner gives it (waited for up to ms,
  // stretched); "" when there is none.
  std::string ClipboardText(int ms = 2000);
  void ClearClipboard();

  void Sync();

 private:
  void StartServer();
  void StartWindowManager();
  // Notes a step of the session's start with the time it took.
  void Note(const std::string& step);
  unsigned KeycodeFor(unsigned long keysym, bool& shift);

  Display* dpy_ = nullptr;
  bool managed_ = false;
  std::string name_;
  int xvfb_ = -1;
  int wm_ = -1;
  unsigned long clipboardWindow_ = 0;
  unsigned spareKeycode_ = 0;
  std::vector<std::string> startup_;
  std::string wmOutput_;
};

// Sleeps ms milliseconds.
void Pause(int ms);
// The steady clock in milliseconds, the one the program logs its times by.
std::int64_t NowMs();

// A wait for something that should come, stretched for a busy machine
// (three times, or $KURVATO_DISPLAY_PATIENCE times): a wait that succeeds
// returns as soon as the thing comes, so only failures take longer.
int Patient(int ms);

}  // namespace kvdisplay
