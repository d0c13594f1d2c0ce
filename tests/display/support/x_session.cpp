#include "x_session.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xcomposite.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/temp_dir.h"

namespace kvdisplay {

namespace {

// A request about a window that has just gone fails; the test goes on and
// sees the window missing instead of the process ending.  The errors are
// counted, so that a failure can tell whether the test's own requests failed.
struct IgnoredErrors {
  int count = 0;
  std::string last;
};
IgnoredErrors& Ignored() {
  static IgnoredErrors errors;
  return errors;
}

int IgnoreXError(Display*, XErrorEvent* e) {
  IgnoredErrors& ignored = Ignored();
  ++ignored.count;
  char text[160];
  std::snprintf(text, sizeof text, "error %d on request %d.%d about 0x%lx", e->error_code, e->request_code,
                e->minor_code, e->resourceid);
  ignored.last = text;
  return 0;
}

// A broken connection ends the test process (Xlib allows nothing else); it
// says so rather than leave a bare exit code.
int ConnectionLost(Display* dpy) {
  std::fprintf(stderr, "the display test's connection to the X server %s broke\n", DisplayString(dpy));
  return 0;
}

// Code points of UTF-8 text.
std::vector<unsigned long> CodePoints(const std::string& s) {
  std::vector<unsigned long> out;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
    unsigned long cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < n && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back(cp);
    i += n;
  }
  return out;
}

unsigned long KeysymOfCodePoint(unsigned long cp) {
  if (cp == '\n') return XK_Return;
  if (cp == '\t') return XK_Tab;
  if (cp < 0x100) return cp;
  return 0x01000000 | cp;
}

// A text property in UTF-8: UTF8_STRING as it stands, STRING from Latin-1,
// COMPOUND_TEXT through Xlib's conversion; "" when there is none.
std::string TextProperty(Display* dpy, unsigned long window, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  std::string out;
  if (XGetWindowProperty(dpy, window, property, 0, 4096, False, AnyPropertyType, &type, &format, &n, &after, &data) !=
          Success ||
      !data || format != 8) {
    if (data) XFree(data);
    return out;
  }
  if (type == XA_STRING) {
    for (unsigned long i = 0; i < n; ++i) {
      const unsigned char c = data[i];
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
  } else if (type == XInternAtom(dpy, "UTF8_STRING", False)) {
    out.assign(reinterpret_cast<char*>(data), n);
  } else {
    XTextProperty text{data, type, format, n};
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(dpy, &text, &list, &count) >= Success && list) {
      if (count > 0) out = list[0];
      XFreeStringList(list);
    }
  }
  XFree(data);
  return out;
}

// One window or none from a WINDOW property.
unsigned long WindowProperty(Display* dpy, unsigned long window, const char* name) {
  Atom type = None;
  int format = 0;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  unsigned long id = 0;
  if (XGetWindowProperty(dpy, window, XInternAtom(dpy, name, False), 0, 1, False, XA_WINDOW, &type, &format, &n,
                         &after, &data) == Success &&
      data && n > 0)
    id = *reinterpret_cast<unsigned long*>(data);
  if (data) XFree(data);
  return id;
}

}  // namespace

std::uint64_t Image::Hash() const {
  std::uint64_t hash = 1469598103934665603ull ^ static_cast<std::uint64_t>(w) << 32 ^ static_cast<std::uint64_t>(h);
  for (std::uint32_t p : pixels) hash = (hash ^ p) * 1099511628211ull;
  return hash;
}

int Image::Count(std::uint32_t c) const {
  int n = 0;
  for (std::uint32_t p : pixels) n += p == c;
  return n;
}

bool Image::WritePpm(const std::string& path) const {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", w, h);
  for (std::uint32_t p : pixels) {
    const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                  static_cast<unsigned char>(p)};
    std::fwrite(rgb, 1, 3, f);
  }
  return std::fclose(f) == 0;
}

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int Patient(int ms) {
  static const int factor = [] {
    const char* f = std::getenv("KURVATO_DISPLAY_PATIENCE");
    const int n = f ? std::atoi(f) : 0;
    return n > 0 ? n : 3;
  }();
  return ms * factor;
}

XSession::XSession() {
  XSetErrorHandler(IgnoreXError);
  XSetIOErrorHandler(ConnectionLost);
  // A busy machine may let the server's start time out: a few attempts.
  for (int attempt = 0; attempt < 3 && !dpy_; ++attempt) {
    if (xvfb_ > 0) {
      kill(xvfb_, SIGKILL);
      waitpid(xvfb_, nullptr, 0);
      xvfb_ = -1;
    }
    StartServer();
  }
  if (!dpy_) return;
  int event = 0, error = 0;
  if (XCompositeQueryExtension(dpy_, &event, &error))
    XCompositeRedirectSubwindows(dpy_, DefaultRootWindow(dpy_), CompositeRedirectAutomatic);
  // Letters beyond the US keyboard (umlauts, sharp s) get spare key codes.
  int minCode = 0, maxCode = 0, perCode = 0;
  XDisplayKeycodes(dpy_, &minCode, &maxCode);
  KeySym* map = XGetKeyboardMapping(dpy_, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
  std::vector<unsigned> spare;
  for (int k = maxCode; k >= minCode && spare.size() < 12; --k) {
    bool empty = true;
    for (int j = 0; j < perCode; ++j) empty = empty && map[(k - minCode) * perCode + j] == NoSymbol;
    if (empty) spare.push_back(static_cast<unsigned>(k));
  }
  XFree(map);
  const unsigned long extra[] = {XK_adiaeresis, XK_odiaeresis, XK_udiaeresis, XK_Adiaeresis, XK_Odiaeresis,
                                 XK_Udiaeresis, XK_ssharp,     XK_degree,     XK_twosuperior, XK_mu};
  for (std::size_t i = 0; i < spare.size() && i < std::size(extra); ++i) {
    KeySym syms[2] = {extra[i], extra[i]};
    XChangeKeyboardMapping(dpy_, static_cast<int>(spare[i]), 2, syms, 1);
  }
  if (!spare.empty()) spareKeycode_ = spare.back();
  XSync(dpy_, False);
  // The keyboard is set before the window manager reads it.
  StartWindowManager();
}

XSession::~XSession() {
  if (dpy_) XCloseDisplay(dpy_);
  for (int pid : {wm_, xvfb_}) {
    if (pid <= 0) continue;
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
      if (waitpid(pid, nullptr, WNOHANG) == pid) {
        pid = -1;
        break;
      }
      Pause(20);
    }
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
}

void XSession::StartServer() {
  int fds[2];
  if (pipe(fds) != 0) return;
  xvfb_ = fork();
  if (xvfb_ == 0) {
    // The server ends with the test process, also when that crashes.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    close(fds[0]);
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
           "+extension", "Composite", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  const std::int64_t started = NowMs();
  const std::int64_t end = started + 15000;
  while (NowMs() < end) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 200) <= 0) continue;
    char c;
    if (read(fds[0], &c, 1) != 1) break;
    if (c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) {
    Note("Xvfb named no display within " + std::to_string(NowMs() - started) + " ms");
    return;
  }
  name_ = ":" + number;
  for (int i = 0; i < 100 && !dpy_; ++i) {
    dpy_ = XOpenDisplay(name_.c_str());
    if (!dpy_) Pause(50);
  }
  Note("Xvfb " + name_ + (dpy_ ? " answered after " : " did not answer within ") + std::to_string(NowMs() - started) +
       " ms");
}

void XSession::StartWindowManager() {
  const std::int64_t started = NowMs();
  wmOutput_ = kvtest::MakeTempDir("openbox") + "output.txt";
  wm_ = fork();
  if (wm_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    const int out = open(wmOutput_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out >= 0 ? out : null, 1);
    dup2(out >= 0 ? out : null, 2);
    setenv("DISPLAY", name_.c_str(), 1);
    execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
    _exit(127);
  }
  // openbox claims the screen (sets its check window) first and then reads
  // its configuration, theme and fonts before it manages any window: a
  // window mapped in between is never framed, listed or shown (its map
  // request is lost), and on a busy machine that time outlasts the
  // program's start.  So the session is ready once openbox has managed a
  // window of its own, mapped anew until one is.
  const ::Window root = DefaultRootWindow(dpy_);
  const std::int64_t claimBy = NowMs() + Patient(5000);
  while (!WindowProperty(dpy_, root, "_NET_SUPPORTING_WM_CHECK") && NowMs() < claimBy) Pause(20);
  if (!WindowProperty(dpy_, root, "_NET_SUPPORTING_WM_CHECK")) {
    Note("openbox did not claim the screen within " + std::to_string(NowMs() - started) + " ms");
    return;
  }
  Note("openbox claimed the screen after " + std::to_string(NowMs() - started) + " ms");
  const std::int64_t manageBy = NowMs() + Patient(10000);
  int probes = 0;
  while (!managed_ && NowMs() < manageBy) {
    XSetWindowAttributes attributes{};
    const ::Window probe =
        XCreateWindow(dpy_, root, 0, 0, 40, 30, 0, CopyFromParent, InputOutput, nullptr, 0, &attributes);
    XStoreName(dpy_, probe, "display test probe");
    XMapWindow(dpy_, probe);
    XSync(dpy_, False);
    ++probes;
    const auto adopted = [&] {
      for (const TopWindow& w : Windows())
        if (w.id == probe) return Framed(probe);
      return false;
    };
    for (const std::int64_t retry = NowMs() + 250; !managed_ && NowMs() < retry && NowMs() < manageBy; Pause(20))
      managed_ = adopted();
    XDestroyWindow(dpy_, probe);
    XSync(dpy_, False);
    if (managed_ && !WaitGone(probe, 5000)) Note("openbox still lists a window that is gone");
  }
  Note(std::string(managed_ ? "openbox managed a window after " : "openbox managed no window within ") +
       std::to_string(NowMs() - started) + " ms (" + std::to_string(probes) + " mapped)");
}

void XSession::Note(const std::string& step) { startup_.push_back(step); }

void XSession::Sync() {
  if (dpy_) XSync(dpy_, False);
}

// ---- input ----

unsigned XSession::KeycodeFor(unsigned long keysym, bool& shift) {
  shift = false;
  KeyCode kc = XKeysymToKeycode(dpy_, keysym);
  if (kc == 0 && spareKeycode_) {
    KeySym syms[2] = {keysym, keysym};
    XChangeKeyboardMapping(dpy_, static_cast<int>(spareKeycode_), 2, syms, 1);
    XSync(dpy_, False);
    Pause(50);
    kc = static_cast<KeyCode>(spareKeycode_);
  }
  if (kc == 0) return 0;
  if (XkbKeycodeToKeysym(dpy_, kc, 0, 0) != keysym && XkbKeycodeToKeysym(dpy_, kc, 0, 1) == keysym) shift = true;
  return kc;
}

void XSession::Key(const std::string& combo) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= combo.size(); ++i) {
    if (i == combo.size() || (combo[i] == '+' && i > start)) {
      parts.push_back(combo.substr(start, i - start));
      start = i + 1;
    }
  }
  if (parts.empty()) return;
  const std::string name = parts.back();
  parts.pop_back();
  unsigned long keysym = name.size() == 1 ? static_cast<unsigned char>(name[0]) : XStringToKeysym(name.c_str());
  if (keysym == NoSymbol) return;
  bool shift = false;
  const unsigned kc = KeycodeFor(keysym, shift);
  if (!kc) return;
  std::vector<KeyCode> mods;
  for (const std::string& m : parts) {
    const char* sym = m == "ctrl" ? "Control_L" : m == "alt" ? "Alt_L" : m == "shift" ? "Shift_L" : nullptr;
    if (sym) mods.push_back(XKeysymToKeycode(dpy_, XStringToKeysym(sym)));
  }
  if (shift) mods.push_back(XKeysymToKeycode(dpy_, XK_Shift_L));
  for (KeyCode m : mods) XTestFakeKeyEvent(dpy_, m, True, CurrentTime);
  XTestFakeKeyEvent(dpy_, kc, True, CurrentTime);
  XTestFakeKeyEvent(dpy_, kc, False, CurrentTime);
  for (auto it = mods.rbegin(); it != mods.rend(); ++it) XTestFakeKeyEvent(dpy_, *it, False, CurrentTime);
  XSync(dpy_, False);
}

void XSession::Type(const std::string& utf8) {
  for (unsigned long cp : CodePoints(utf8)) {
    bool shift = false;
    const unsigned kc = KeycodeFor(KeysymOfCodePoint(cp), shift);
    if (!kc) continue;
    const KeyCode s = XKeysymToKeycode(dpy_, XK_Shift_L);
    if (shift) XTestFakeKeyEvent(dpy_, s, True, CurrentTime);
    XTestFakeKeyEvent(dpy_, kc, True, CurrentTime);
    XTestFakeKeyEvent(dpy_, kc, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(dpy_, s, False, CurrentTime);
    XSync(dpy_, False);
    Pause(2);
  }
}

void XSession::MoveTo(int x, int y) {
  XTestFakeMotionEvent(dpy_, -1, x, y, CurrentTime);
  XSync(dpy_, False);
}

void XSession::Press(int x, int y, int button) {
  MoveTo(x, y);
  Pause(10);
  XTestFakeButtonEvent(dpy_, static_cast<unsigned>(button), True, CurrentTime);
  XSync(dpy_, False);
}

void XSession::Release(int x, int y, int button) {
  MoveTo(x, y);
  XTestFakeButtonEvent(dpy_, static_cast<unsigned>(button), False, CurrentTime);
  XSync(dpy_, False);
}

void XSession::Click(int x, int y, int button) {
  Press(x, y, button);
  Pause(10);
  Release(x, y, button);
}

void XSession::DoubleClick(int x, int y) {
  Click(x, y);
  Pause(40);
  Click(x, y);
}

void XSession::Park() { MoveTo(1279, 1023); }

// ---- windows ----

std::string XSession::Caption(unsigned long id) {
  // The caption as the window manager shows it: _NET_WM_NAME in UTF-8,
  // else WM_NAME in whatever encoding it says (Latin-1 for STRING).
  const std::string net = TextProperty(dpy_, id, XInternAtom(dpy_, "_NET_WM_NAME", False));
  return net.empty() ? TextProperty(dpy_, id, XA_WM_NAME) : net;
}

bool XSession::Exists(unsigned long id) {
  XWindowAttributes a;
  return XGetWindowAttributes(dpy_, id, &a) != 0 && a.map_state == IsViewable;
}

bool XSession::ShowsPopupAt(const Rect& r) {
  ::Window root, parent, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(dpy_, DefaultRootWindow(dpy_), &root, &parent, &children, &n)) return false;
  bool found = false;
  for (unsigned i = 0; i < n && !found; ++i) {
    XWindowAttributes a;
    found = XGetWindowAttributes(dpy_, children[i], &a) && a.override_redirect && a.map_state == IsViewable &&
            a.x == r.x && a.y == r.y && a.width == r.w && a.height == r.h;
  }
  if (children) XFree(children);
  return found;
}

Rect XSession::Geometry(unsigned long id) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy_, id, &a)) return {};
  int x = 0, y = 0;
  ::Window child;
  XTranslateCoordinates(dpy_, id, DefaultRootWindow(dpy_), 0, 0, &x, &y, &child);
  return Rect{x, y, a.width, a.height};
}

bool XSession::Framed(unsigned long id) {
  const Atom extents = XInternAtom(dpy_, "_NET_FRAME_EXTENTS", False);
  Atom type = None;
  int format = 0;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  const bool framed = XGetWindowProperty(dpy_, id, extents, 0, 4, False, XA_CARDINAL, &type, &format, &n, &after,
                                         &data) == Success &&
                      n == 4;
  if (data) XFree(data);
  return framed;
}

void XSession::ToScreen(unsigned long id, int& x, int& y) {
  ::Window child;
  int sx = 0, sy = 0;
  XTranslateCoordinates(dpy_, id, DefaultRootWindow(dpy_), x, y, &sx, &sy, &child);
  x = sx;
  y = sy;
}

std::vector<TopWindow> XSession::Windows() {
  std::vector<TopWindow> out;
  const Atom list = XInternAtom(dpy_, "_NET_CLIENT_LIST", False);
  Atom type;
  int format;
  unsigned long n = 0, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(dpy_, DefaultRootWindow(dpy_), list, 0, 1024, False, XA_WINDOW, &type, &format, &n, &after,
                         &data) != Success ||
      !data) {
    return out;
  }
  const auto* ids = reinterpret_cast<const unsigned long*>(data);
  for (unsigned long i = 0; i < n; ++i) {
    if (!Exists(ids[i])) continue;
    TopWindow w;
    w.id = ids[i];
    w.caption = Caption(w.id);
    w.rect = Geometry(w.id);
    out.push_back(w);
  }
  XFree(data);
  return out;
}

TopWindow XSession::Find(const std::string& caption, bool prefix) {
  for (const TopWindow& w : Windows())
    if (w.caption == caption || (prefix && w.caption.rfind(caption, 0) == 0)) return w;
  return {};
}

TopWindow XSession::WaitFor(const std::string& caption, int ms, bool prefix, bool tell) {
  const std::int64_t end = NowMs() + Patient(ms);
  for (;;) {
    TopWindow w = Find(caption, prefix);
    if (w.id) return w;
    if (NowMs() >= end) {
      if (tell)
        std::fprintf(stderr, "no window \"%s\" within %d ms. %s", caption.c_str(), Patient(ms), Describe().c_str());
      return w;
    }
    Pause(20);
  }
}

bool XSession::WaitGone(unsigned long id, int ms) {
  const std::int64_t end = NowMs() + Patient(ms);
  while (NowMs() < end) {
    bool listed = false;
    for (const TopWindow& w : Windows()) listed = listed || w.id == id;
    if (!listed) return true;
    Pause(20);
  }
  return false;
}

namespace {

const char* MapState(int state) {
  return state == IsViewable ? "viewable" : state == IsUnmapped ? "unmapped" : "unviewable";
}

std::string Hex(unsigned long id) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%lx", id);
  return text;
}

// The window the window manager's frame holds: the first one below it
// that carries WM_STATE, which the manager sets on the windows it manages.
unsigned long ClientIn(Display* dpy, unsigned long frame, int depth = 0) {
  const Atom state = XInternAtom(dpy, "WM_STATE", False);
  ::Window root = 0, parent = 0, *kids = nullptr;
  unsigned n = 0;
  if (depth > 3 || !XQueryTree(dpy, frame, &root, &parent, &kids, &n)) return 0;
  unsigned long found = 0;
  for (unsigned i = 0; i < n && !found; ++i) {
    int count = 0;
    Atom* props = XListProperties(dpy, kids[i], &count);
    for (int k = 0; k < count && !found; ++k) found = props[k] == state ? kids[i] : 0;
    if (props) XFree(props);
  }
  for (unsigned i = 0; i < n && !found; ++i) found = ClientIn(dpy, kids[i], depth + 1);
  if (kids) XFree(kids);
  return found;
}

}  // namespace

std::string XSession::Describe() {
  std::string out = "The X server " + name_ + " shows:\n";
  if (!dpy_) return out + "  nothing: the test has no connection to it\n";
  for (const std::string& step : startup_) out += "  " + step + "\n";
  if (wm_ > 0) {
    int status = 0;
    if (waitpid(wm_, &status, WNOHANG) == wm_) {
      Note(WIFEXITED(status) ? "the window manager has ended with code " + std::to_string(WEXITSTATUS(status))
                             : "the window manager was ended by signal " + std::to_string(WTERMSIG(status)));
      out += "  " + startup_.back() + "\n";
      wm_ = -1;
    } else {
      out += "  the window manager (pid " + std::to_string(wm_) + ") runs\n";
    }
  }
  std::ifstream said(wmOutput_);
  for (std::string line; std::getline(said, line);) out += "  the window manager said: " + line + "\n";
  const ::Window rootWindow = DefaultRootWindow(dpy_);
  const unsigned long check = WindowProperty(dpy_, rootWindow, "_NET_SUPPORTING_WM_CHECK");
  out += "  window manager's check window: " +
         (check ? Hex(check) + " \"" + Caption(check) + "\"" : std::string("none")) + "\n";
  out += "  listed by the window manager (_NET_CLIENT_LIST):";
  {
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy_, rootWindow, XInternAtom(dpy_, "_NET_CLIENT_LIST", False), 0, 1024, False,
                           XA_WINDOW, &type, &format, &n, &after, &data) == Success &&
        data) {
      const auto* ids = reinterpret_cast<const unsigned long*>(data);
      for (unsigned long i = 0; i < n; ++i) out += " " + Hex(ids[i]);
      if (n == 0) out += " none";
      XFree(data);
    } else {
      out += " no list";
    }
  }
  out += "\n  active: " + Hex(Active()) + "\n";
  if (Ignored().count > 0)
    out += "  " + std::to_string(Ignored().count) + " failed requests of the test, the last " + Ignored().last + "\n";
  out += "  top-level windows, bottom to top (unmapped ones without a caption left out):\n";
  ::Window root = 0, parent = 0, *kids = nullptr;
  unsigned n = 0;
  if (!XQueryTree(dpy_, rootWindow, &root, &parent, &kids, &n)) return out + "    the tree cannot be read\n";
  int hidden = 0;
  for (unsigned i = 0; i < n; ++i) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy_, kids[i], &a)) continue;
    const std::string caption = Caption(kids[i]);
    if (a.map_state == IsUnmapped && caption.empty()) {
      ++hidden;
      continue;
    }
    char place[64];
    std::snprintf(place, sizeof place, "%dx%d%+d%+d", a.width, a.height, a.x, a.y);
    out += "    " + Hex(kids[i]) + " " + MapState(a.map_state) + (a.override_redirect ? " unmanaged" : "") + " " +
           place + " \"" + caption + "\"";
    if (const unsigned long client = caption.empty() ? ClientIn(dpy_, kids[i]) : 0) {
      XWindowAttributes c;
      const bool known = XGetWindowAttributes(dpy_, client, &c);
      out += " frames " + Hex(client) + " " + (known ? MapState(c.map_state) : "gone") + " \"" + Caption(client) +
             "\"";
    }
    out += "\n";
  }
  if (kids) XFree(kids);
  out += "    and " + std::to_string(hidden) + " unmapped windows without a caption\n";
  return out;
}

unsigned long XSession::Active() { return WindowProperty(dpy_, DefaultRootWindow(dpy_), "_NET_ACTIVE_WINDOW"); }

namespace {

void SendRootMessage(Display* dpy, unsigned long window, const char* atom, long l0, long l1) {
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(dpy, atom, False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = l0;
  e.xclient.data.l[1] = l1;
  XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
  XSync(dpy, False);
}

}  // namespace

bool XSession::Activate(unsigned long id) {
  SendRootMessage(dpy_, id, "_NET_ACTIVE_WINDOW", 2, CurrentTime);
  // Active once the window manager says so and the server sends the keys
  // there (the input focus is the window or one of its children).
  const auto focused = [&] {
    if (Active() != id) return false;
    ::Window f = 0;
    int revert = 0;
    XGetInputFocus(dpy_, &f, &revert);
    for (int depth = 0; f && f != PointerRoot && depth < 16; ++depth) {
      if (f == id) return true;
      ::Window root = 0, parent = 0, *kids = nullptr;
      unsigned n = 0;
      if (!XQueryTree(dpy_, f, &root, &parent, &kids, &n)) return false;
      if (kids) XFree(kids);
      if (parent == root) return false;
      f = parent;
    }
    return false;
  };
  const std::int64_t end = NowMs() + Patient(1000);
  for (;;) {
    if (focused()) return true;
    if (NowMs() >= end) return false;
    Pause(10);
  }
}

void XSession::Close(unsigned long id) { SendRootMessage(dpy_, id, "_NET_CLOSE_WINDOW", CurrentTime, 2); }

bool XSession::Iconify(unsigned long id) {
  XIconifyWindow(dpy_, id, DefaultScreen(dpy_));
  XSync(dpy_, False);
  const std::int64_t end = NowMs() + Patient(2000);
  for (;;) {
    XWindowAttributes a;
    if (XGetWindowAttributes(dpy_, id, &a) && a.map_state != IsViewable) return true;
    if (NowMs() >= end) return false;
    Pause(20);
  }
}

// ---- pixels ----

namespace {

Image FromXImage(XImage* img) {
  Image out;
  if (!img) return out;
  out.w = img->width;
  out.h = img->height;
  out.pixels.resize(static_cast<std::size_t>(out.w) * out.h);
  const bool direct = img->bits_per_pixel == 32 && img->byte_order == LSBFirst;
  for (int y = 0; y < out.h; ++y)
    for (int x = 0; x < out.w; ++x) {
      std::uint32_t p;
      if (direct) {
        std::memcpy(&p, img->data + static_cast<std::size_t>(y) * img->bytes_per_line + 4 * x, 4);
      } else {
        p = static_cast<std::uint32_t>(XGetPixel(img, x, y));
      }
      out.pixels[static_cast<std::size_t>(y) * out.w + x] = p & 0xFFFFFF;
    }
  XDestroyImage(img);
  return out;
}

}  // namespace

Image XSession::Capture(unsigned long id) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy_, id, &a)) return {};
  return Capture(id, Rect{0, 0, a.width, a.height});
}

Image XSession::Capture(unsigned long id, const Rect& part) {
  if (part.w <= 0 || part.h <= 0) return {};
  return FromXImage(XGetImage(dpy_, id, part.x, part.y, static_cast<unsigned>(part.w), static_cast<unsigned>(part.h),
                              AllPlanes, ZPixmap));
}

Image XSession::CaptureScreen(const Rect& part) { return Capture(DefaultRootWindow(dpy_), part); }

Image XSession::Settled(unsigned long id, int quiet, int ms, bool* settled) {
  const std::int64_t end = NowMs() + Patient(ms);
  Image last = Capture(id);
  std::int64_t since = NowMs();
  if (settled) *settled = false;
  while (NowMs() < end) {
    Pause(30);
    Image now = Capture(id);
    if (now.w != last.w || now.h != last.h || now.pixels != last.pixels) {
      last = std::move(now);
      since = NowMs();
    } else if (NowMs() - since >= quiet) {
      if (settled) *settled = true;
      break;
    }
  }
  return last;
}

// ---- clipboard ----

unsigned long XSession::ClipboardOwner() {
  return XGetSelectionOwner(dpy_, XInternAtom(dpy_, "CLIPBOARD", False));
}

std::string XSession::ClipboardText(int ms) {
  const ::Window root = DefaultRootWindow(dpy_);
  if (!clipboardWindow_) clipboardWindow_ = XCreateSimpleWindow(dpy_, root, 0, 0, 1, 1, 0, 0, 0);
  const Atom into = XInternAtom(dpy_, "KURVATO_TEST_CLIPBOARD", False);
  XDeleteProperty(dpy_, clipboardWindow_, into);
  XConvertSelection(dpy_, XInternAtom(dpy_, "CLIPBOARD", False), XInternAtom(dpy_, "UTF8_STRING", False), into,
                    clipboardWindow_, CurrentTime);
  XFlush(dpy_);
  // The owner answers with a SelectionNotify event, with no property when
  // it has no text.
  XEvent e{};
  const std::int64_t end = NowMs() + Patient(ms);
  while (!XCheckTypedWindowEvent(dpy_, clipboardWindow_, SelectionNotify, &e)) {
    if (NowMs() >= end) return {};
    Pause(10);
  }
  if (e.xselection.property == None) return {};
  return TextProperty(dpy_, clipboardWindow_, into);
}

void XSession::ClearClipboard() {
  XSetSelectionOwner(dpy_, XInternAtom(dpy_, "CLIPBOARD", False), None, CurrentTime);
  XSync(dpy_, False);
}

}  // namespace kvdisplay
