// A background picture, opened from a BMP file through the file dialog or
// pasted from the clipboard, appears in the plot window at once (no repaint
// by hand), in the 2D and the 3D window; "Bild e&ntfernen" takes it away.
#include <poll.h>

#include <atomic>
#include <cstdint>
#include <fstream>
#include <thread>

#include "support/display_test.h"
#include "support/temp_dir.h"

// After the test framework: Xlib's macros (None, Bool) clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace kvdisplay {
namespace {

constexpr int kOpenPicture = 372;
constexpr int kPastePicture = 373;
constexpr int kRemovePicture = 356;

// The picture: one colour that no plot window paints by itself.
constexpr std::uint32_t kPictureColour = 0x14A0DC;
constexpr int kPictureW = 120, kPictureH = 90;

void Put16(std::vector<unsigned char>& b, std::uint32_t v) {
  b.push_back(static_cast<unsigned char>(v));
  b.push_back(static_cast<unsigned char>(v >> 8));
}
void Put32(std::vector<unsigned char>& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A 24-bit Windows bitmap file of one colour.
std::vector<unsigned char> SolidBmp(int w, int h, std::uint32_t rgb) {
  const std::uint32_t row = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
  const std::uint32_t size = row * static_cast<std::uint32_t>(h);
  std::vector<unsigned char> b;
  b.push_back('B');
  b.push_back('M');
  Put32(b, 54 + size);
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, static_cast<std::uint32_t>(w));
  Put32(b, static_cast<std::uint32_t>(h));
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, 0);
  Put32(b, size);
  Put32(b, 2835);
  Put32(b, 2835);
  Put32(b, 0);
  Put32(b, 0);
  for (int y = 0; y < h; ++y) {
    std::uint32_t x = 0;
    for (; x < static_cast<std::uint32_t>(w) * 3; x += 3) {
      b.push_back(static_cast<unsigned char>(rgb));        // blue
      b.push_back(static_cast<unsigned char>(rgb >> 8));   // green
      b.push_back(static_cast<unsigned char>(rgb >> 16));  // red
    }
    for (; x < row; ++x) b.push_back(0);
  }
  return b;
}

// Another program on the desktop that has copied a BMP: it owns the
// clipboard and hands the picture as "image/bmp" to whoever asks, from a
// connection and a thread of its own, until it is destroyed.
class ClipboardBmp {
 public:
  ClipboardBmp(const std::string& display, std::vector<unsigned char> bmp) : data_(std::move(bmp)) {
    dpy_ = XOpenDisplay(display.c_str());
    if (!dpy_) return;
    win_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 1, 1, 0, 0, 0);
    clipboard_ = XInternAtom(dpy_, "CLIPBOARD", False);
    targets_ = XInternAtom(dpy_, "TARGETS", False);
    bmp_ = XInternAtom(dpy_, "image/bmp", False);
    XSetSelectionOwner(dpy_, clipboard_, win_, CurrentTime);
    owned_ = XGetSelectionOwner(dpy_, clipboard_) == win_;
    XFlush(dpy_);
    thread_ = std::thread([this] { Serve(); });
  }
  ~ClipboardBmp() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (dpy_) XCloseDisplay(dpy_);
  }
  bool Owned() const { return owned_; }

 private:
  void Serve() {
    pollfd fd{ConnectionNumber(dpy_), POLLIN, 0};
    while (!stop_) {
      while (XPending(dpy_) > 0) {
        XEvent ev;
        XNextEvent(dpy_, &ev);
        if (ev.type == SelectionRequest) Answer(ev.xselectionrequest);
      }
      poll(&fd, 1, 20);
    }
  }
  void Answer(const XSelectionRequestEvent& rq) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = rq.display;
    reply.requestor = rq.requestor;
    reply.selection = rq.selection;
    reply.target = rq.target;
    reply.time = rq.time;
    reply.property = rq.property != None ? rq.property : rq.target;
    if (rq.target == targets_) {
      const Atom offered[] = {targets_, bmp_};
      XChangeProperty(dpy_, rq.requestor, reply.property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered), 2);
    } else if (rq.target == bmp_) {
      XChangeProperty(dpy_, rq.requestor, reply.property, bmp_, 8, PropModeReplace, data_.data(),
                      static_cast<int>(data_.size()));
    } else {
      reply.property = None;
    }
    XSendEvent(dpy_, rq.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
    XFlush(dpy_);
  }

  std::vector<unsigned char> data_;
  Display* dpy_ = nullptr;
  ::Window win_ = 0;
  Atom clipboard_ = 0, targets_ = 0, bmp_ = 0;
  bool owned_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class BackgroundPicture : public DisplayTest {
 protected:
  // Starts the program and opens a plot window from the frame's menu.
  TopWindow OpenPlot(int command, const std::string& caption) {
    Start();
    Menu(Frame(), command);
    return Window(caption);
  }
  int PicturePixels(const TopWindow& w) { return Screen().Capture(w.id).Count(kPictureColour); }
  // True when the picture shows within a few seconds, with no input.
  bool PictureShows(const TopWindow& w) {
    return Eventually([&] { return PicturePixels(w) >= kPictureW * kPictureH / 2; }, 4000);
  }
  std::string WriteBmp() {
    const std::string path = kvtest::MakeTempDir("picture") + "picture.bmp";
    const auto bytes = SolidBmp(kPictureW, kPictureH, kPictureColour);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  // "&Bild öffnen ...": the path typed into the file dialog and Enter.
  void OpenPictureFile(const TopWindow& w, const std::string& path) {
    Menu(w, kOpenPicture);
    ASSERT_TRUE(ChooseInFileDialog("Öffnen", path)) << "no file dialog, or it stayed open";
  }
  void CheckOpenAndRemove(int command, const std::string& caption) {
    const TopWindow w = OpenPlot(command, caption);
    ASSERT_NE(w.id, 0u);
    Settled(w.id);
    ASSERT_EQ(PicturePixels(w), 0);
    OpenPictureFile(w, WriteBmp());
    EXPECT_TRUE(PictureShows(w)) << "the opened picture is not on the screen";
    Menu(w, kRemovePicture);
    EXPECT_TRUE(Eventually([&] { return PicturePixels(w) == 0; }, 4000)) << "the removed picture stays";
  }
  void CheckPaste(int command, const std::string& caption) {
    const TopWindow w = OpenPlot(command, caption);
    ASSERT_NE(w.id, 0u);
    Settled(w.id);
    ClipboardBmp clip(Screen().DisplayName(), SolidBmp(kPictureW, kPictureH, kPictureColour));
    ASSERT_TRUE(clip.Owned());
    Menu(w, kPastePicture);
    EXPECT_TRUE(PictureShows(w)) << "the pasted picture is not on the screen";
  }
};

TEST_F(BackgroundPicture, OpenedFromAFileShowsAtOnceIn2DAnd3D) {
  CheckOpenAndRemove(402, "Unbenannt1.kv2");
  CheckOpenAndRemove(403, "Unbenannt1.kv3");
}

TEST_F(BackgroundPicture, PastedFromTheClipboardShowsAtOnceIn2DAnd3D) {
  CheckPaste(402, "Unbenannt1.kv2");
  CheckPaste(403, "Unbenannt1.kv3");
}

}  // namespace
}  // namespace kvdisplay
