// The window base of the program.  A Window is a top-level frame (with an
// optional menu bar and accelerator table) or a child window.  It owns a
// client surface: every drawing goes into that bitmap through a DC, at any
// time, and the screen only shows the surface.
//
// Lifecycle: construct, fill fields, Create() (makes the native window and
// calls SetupWindow()), Show().  CloseWindow() asks CanClose() (which asks
// the child windows first) and then Destroy()s.  Destroy() runs the
// program's clean-up overrides; an override does its work and then calls the
// base, which destroys the child windows and the native window.  Windows are
// heap objects: a destroyed top-level window is deleted by the platform when
// control returns to the event loop (child windows with their parent).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/app.h"
#include "platform/commands.h"
#include "platform/dc.h"
#include "platform/types.h"

namespace plat {

class Bitmap;

enum ShowCommand : int {
  SW_HIDE = 0,
  SW_SHOWNORMAL = 1,
  SW_SHOWMINIMIZED = 2,
  SW_SHOWMAXIMIZED = 3,
  SW_SHOWNOACTIVATE = 4,
  SW_SHOW = 5,
  SW_MINIMIZE = 6,
  SW_RESTORE = 9,
};

enum SizeType : unsigned {
  SIZE_RESTORED = 0,
  SIZE_MINIMIZED = 1,
  SIZE_MAXIMIZED = 2,
};

class Window {
 public:
  Window(Window* parent, const std::string& caption);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // ---- lifecycle ----
  bool Create();
  bool IsCreated() const;
  virtual void SetupWindow() {}
  virtual bool CanClose();  // base: every child window can close
  void CloseWindow();       // CanClose(), then Destroy()
  virtual void Destroy();   // overrides clean up, then call the base
  bool IsDestroyed() const;

  // ---- hierarchy ----
  Window* Parent() const { return parent_; }
  const std::vector<Window*>& Children() const;
  // A child window that fills the client area of a frame.
  void SetClientWindow(Window* client);
  Window* ClientWindow() const;
  // Child windows are created as top-level frames with this window as owner,
  // unless they are made child controls of the client area here.
  void SetChildStyle(bool childOfClientArea);

  // ---- caption, icon, visibility, placement (screen pixels) ----
  void SetCaption(const std::string& caption);
  std::string GetCaption() const;
  void SetIcon(const std::string& resourceName);
  void Show(int showCommand);
  bool IsVisible() const;
  bool IsZoomed() const;   // maximised
  bool IsIconic() const;   // minimised
  // The window rectangle of a top-level window: the corner of its frame on
  // the screen and its size with the menu bar but without the desktop's
  // decorations (title bar, border), which the window manager adds and which
  // differ between desktops.  What GetWindowRect() or NormalRect() returns,
  // MoveWindow() restores exactly.
  void MoveWindow(int x, int y, int width, int height);
  void MoveTo(int x, int y);  // no resizing
  Rect GetWindowRect() const;
  Rect GetClientRect() const;  // (0, 0, width, height) of the client area
  // The last window rectangle while neither minimised nor maximised.
  Rect NormalRect() const;
  // Height of a caption plus a menu bar, for default placements.
  static int CaptionAndMenuHeight();
  void BringToTop();
  void SetForeground();
  // Whether this top-level window is the active one (has the keyboard).
  bool IsActive() const;
  void SetFocus();

  // ---- menus and accelerators (frames) ----
  bool AssignMenu(const std::string& resourceName);  // menu and accelerators of that name
  bool SetMenu(const std::string& menuName);
  bool SetAccelerators(const std::string& tableName);
  std::string MenuName() const;
  void CheckMenuItem(int id, bool checked);
  void EnableMenuItem(int id, bool enabled);
  void SetMenuItemText(int id, const std::string& text);
  bool DeleteMenuItem(int id);
  // Greys (or ungreys), deletes or inserts a top-level entry of the menu bar
  // by its position (counted from 0).
  void EnableMenuBarEntry(int position, bool enabled);
  bool DeleteMenuBarEntry(int position);
  void InsertMenuBarCommand(int position, const std::string& text, int id);
  bool IsMenuItemChecked(int id) const;
  bool IsMenuItemEnabled(int id) const;  // after running the enablers
  bool HasMenuItem(int id) const;
  std::string MenuItemText(int id) const;
  void DrawMenuBar();  // re-run the enablers and refresh the bar

  // ---- commands ----
  virtual const CommandTable& Commands() const;
  // Runs the handler of id unless its enabler disables it.  Returns whether
  // a handler ran.
  bool Command(int id);
  // How many command handlers run now, one inside another (a key read by
  // long work runs its accelerator's command inside the command or paint
  // that polls).
  static int CommandDepth();
  // What the menu shows for id: the enabler chain's answer (a command
  // without an enabler is enabled), but a command without a handler (a
  // feature not built yet) is always greyed.
  CommandEnabler QueryCommand(int id);
  // The enabler chain's answer alone, handler or not (tests of enablers).
  CommandEnabler QueryEnabler(int id);
  // The accelerator command for a key, or 0.
  int FindAccelerator(unsigned vk, unsigned modifiers) const;

  // ---- painting ----
  // Called with a DC on the client surface when an invalid area is painted;
  // `erase` says the surface was cleared to the background colour first.
  virtual void Paint(DC& dc, bool erase, const Rect& rect) {}
  void Invalidate(bool erase = true);
  void InvalidateRect(const Rect& r, bool erase = true);
  // Paints now when the window has an invalid area (tests call this).
  void UpdateWindow();
  bool HasInvalidArea() const;
  void SetBkgndColor(Colour c);
  Colour GetBkgndColor() const;
  Bitmap& Surface();
  const Bitmap& Surface() const;

  // ---- event hooks ----
  virtual void EvSize(unsigned sizeType, Size clientSize) {}
  virtual void EvMove(Point screenPos) {}
  virtual void EvLButtonDown(unsigned keys, Point p) {}
  virtual void EvLButtonUp(unsigned keys, Point p) {}
  virtual void EvLButtonDblClk(unsigned keys, Point p) {}
  virtual void EvRButtonDown(unsigned keys, Point p) {}
  virtual void EvRButtonUp(unsigned keys, Point p) {}
  virtual void EvMouseMove(unsigned keys, Point p) {}
  virtual void EvKeyDown(unsigned vk, unsigned modifiers) {}
  virtual void EvChar(unsigned ch) {}
  virtual void EvTimer(unsigned id) {}
  virtual void EvDropFiles(const std::vector<std::string>& paths) {}
  virtual void EvSetFocus() {}
  virtual void EvActivate(bool active) {}
  // The user closes the frame (its close button); base: CloseWindow().
  // Companion windows that live as long as their owner hide instead.
  virtual void EvClose() { CloseWindow(); }

  // Delivers a key press as the user's keyboard would: an accelerator runs
  // its command; otherwise EvKeyDown, then EvChar when the key types one.
  void SimulateKey(unsigned vk, unsigned modifiers = 0, unsigned ch = 0);

  // ---- timer, drag and drop, mouse capture ----
  void SetTimer(unsigned id, int milliseconds);
  void KillTimer(unsigned id);
  void DragAcceptFiles(bool accept);
  void SetCapture();
  void ReleaseCapture();

  // Platform-side state; opaque to the program.
  struct Impl;
  Impl* impl() const { return impl_.get(); }

 protected:
  // Gives derived platform classes (dialogs) their own native widget.
  virtual bool CreateNative();

 private:
  Window* parent_;
  std::unique_ptr<Impl> impl_;
  friend class Dialog;
};

// A DC on a window's client surface, usable at any time; the screen shows
// what it drew when control returns to the event loop.
class ClientDC : public BitmapDC {
 public:
  explicit ClientDC(Window& w);
  ~ClientDC() override;

 private:
  Window& window_;
  WorkScope work_;
};

}  // namespace plat
