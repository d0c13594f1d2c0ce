// A device context with the drawing rules of the classic Windows graphics
// interface, which the program's pixel arithmetic relies on:
//  - a line leaves out its end pixel;
//  - rectangles and ellipses exclude their right and bottom edges;
//  - dash styles apply only to pens of width 1 or less (wider pens draw solid);
//  - arcs run counter-clockwise from the start to the end radial point;
//  - raster operations (copy, XOR, NOT, ...) combine pen and screen pixels.
// State (pen, brush, font, colours, modes, current position) lives in the
// base class; each target (window surface or memory bitmap, printer,
// metafile recorder, test recorder) implements the primitives.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/logfont.h"
#include "platform/types.h"

namespace plat {

class Bitmap;

enum PenStyle : int {
  PS_SOLID = 0,
  PS_DASH = 1,
  PS_DOT = 2,
  PS_DASHDOT = 3,
  PS_DASHDOTDOT = 4,
  PS_NULL = 5,
};

struct Pen {
  int style = PS_SOLID;
  int width = 1;  // 0 draws as 1
  Colour colour = 0;
  friend bool operator==(const Pen&, const Pen&) = default;
};

enum BrushStyle : int {
  BS_SOLID = 0,
  BS_NULL = 1,
  BS_HATCHED = 2,
};

enum HatchStyle : int {
  HS_HORIZONTAL = 0,
  HS_VERTICAL = 1,
  HS_FDIAGONAL = 2,
  HS_BDIAGONAL = 3,
  HS_CROSS = 4,
  HS_DIAGCROSS = 5,
};

struct Brush {
  int style = BS_SOLID;
  Colour colour = Rgb(255, 255, 255);
  int hatch = HS_HORIZONTAL;
  friend bool operator==(const Brush&, const Brush&) = default;
};

inline Pen NullPen() { return Pen{PS_NULL, 0, 0}; }
inline Brush NullBrush() { return Brush{BS_NULL, 0, 0}; }
inline Brush SolidBrush(Colour c) { return Brush{BS_SOLID, c, 0}; }

// Binary raster operations between pen (or brush) and destination.
enum Rop2 : int {
  R2_BLACK = 1,
  R2_NOTMERGEPEN = 2,
  R2_MASKNOTPEN = 3,
  R2_NOTCOPYPEN = 4,
  R2_MASKPENNOT = 5,
  R2_NOT = 6,
  R2_XORPEN = 7,
  R2_NOTMASKPEN = 8,
  R2_MASKPEN = 9,
  R2_NOTXORPEN = 10,
  R2_NOP = 11,
  R2_MERGENOTPEN = 12,
  R2_COPYPEN = 13,
  R2_MERGEPENNOT = 14,
  R2_MERGEPEN = 15,
  R2_WHITE = 16,
};

// Ternary raster operations of bit-block transfers that the program uses.
enum RasterOp : unsigned {
  SRCCOPY = 0x00CC0020,
  SRCPAINT = 0x00EE0086,
  SRCAND = 0x008800C6,
  SRCINVERT = 0x00660046,
  NOTSRCCOPY = 0x00330008,
  DSTINVERT = 0x00550009,
  PATCOPY = 0x00F00021,
  PATINVERT = 0x005A0049,
  BLACKNESS = 0x00000042,
  WHITENESS = 0x00FF0062,
};

enum TextAlign : unsigned {
  TA_NOUPDATECP = 0,
  TA_UPDATECP = 1,
  TA_LEFT = 0,
  TA_RIGHT = 2,
  TA_CENTER = 6,
  TA_TOP = 0,
  TA_BOTTOM = 8,
  TA_BASELINE = 24,
};

enum BkMode : int {
  TRANSPARENT = 1,
  OPAQUE = 2,
};

enum PolyFillMode : int {
  ALTERNATE = 1,
  WINDING = 2,
};

// Device capability indices.
enum DeviceCap : int {
  HORZSIZE = 4,          // width in millimetres
  VERTSIZE = 6,          // height in millimetres
  HORZRES = 8,           // width in pixels
  VERTRES = 10,          // height in pixels
  BITSPIXEL = 12,
  RASTERCAPS = 38,
  LOGPIXELSX = 88,
  LOGPIXELSY = 90,
  PHYSICALWIDTH = 110,
  PHYSICALHEIGHT = 111,
  PHYSICALOFFSETX = 112,
  PHYSICALOFFSETY = 113,
};

enum RasterCapBits : int {
  RC_PALETTE = 0x0100,
};

struct DeviceCaps {
  int horzSizeMm = 320;
  int vertSizeMm = 240;
  int horzRes = 1024;
  int vertRes = 768;
  int bitsPixel = 32;
  int rasterCaps = 0;
  int logPixelsX = 96;
  int logPixelsY = 96;
  int physicalWidth = 1024;
  int physicalHeight = 768;
  int physicalOffsetX = 0;
  int physicalOffsetY = 0;
  int Get(int index) const;
};

class DC {
 public:
  DC();
  virtual ~DC();
  DC(const DC&) = delete;
  DC& operator=(const DC&) = delete;

  // --- state; each setter returns the previous value ---
  Pen SelectPen(const Pen& pen);
  Brush SelectBrush(const Brush& brush);
  LogFont SelectFont(const LogFont& font);
  const Pen& CurrentPen() const { return pen_; }
  const Brush& CurrentBrush() const { return brush_; }
  const LogFont& CurrentFont() const { return font_; }
  Colour SetTextColor(Colour c);
  Colour GetTextColor() const { return textColour_; }
  Colour SetBkColor(Colour c);
  Colour GetBkColor() const { return bkColour_; }
  int SetBkMode(int mode);
  int GetBkMode() const { return bkMode_; }
  int SetROP2(int rop);
  int GetROP2() const { return rop2_; }
  unsigned SetTextAlign(unsigned align);
  unsigned GetTextAlign() const { return textAlign_; }
  int SetPolyFillMode(int mode);
  int GetPolyFillMode() const { return polyFillMode_; }
  Point GetCurrentPosition() const { return cp_; }

  // Saves and restores the whole state above (and the clip region).
  int SaveDC();
  bool RestoreDC(int saved = -1);

  // --- lines and shapes (device pixels) ---
  Point MoveTo(int x, int y);
  void LineTo(int x, int y);  // from the current position; leaves out (x, y)
  // LineTo to each of the n points in turn, in one call.
  void PolylineTo(const Point* points, std::size_t n);
  void Polyline(const std::vector<Point>& points);
  void Rectangle(int left, int top, int right, int bottom);
  void Ellipse(int left, int top, int right, int bottom);
  void Polygon(const std::vector<Point>& points);
  // Counter-clockwise arc of the ellipse in the box, from the ray towards
  // (xStart, yStart) to the ray towards (xEnd, yEnd).
  void Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
  void Pie(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
  void FillRect(const Rect& r, const Brush& brush);
  // Fills the rectangle with the current brush combined by a pattern op
  // (PATCOPY, PATINVERT, DSTINVERT, BLACKNESS, WHITENESS).
  void PatBlt(int x, int y, int width, int height, unsigned rop);

  // --- pixels ---
  virtual Colour SetPixel(int x, int y, Colour c) = 0;  // returns the colour set
  virtual Colour GetPixel(int x, int y) const = 0;      // 0xFFFFFFFF outside

  // --- text (UTF-8) ---
  void TextOut(int x, int y, const std::string& text);
  Size GetTextExtent(const std::string& text) const;
  // Height of the font's cell, ascent and average character width.
  struct TextMetrics {
    int height = 0;
    int ascent = 0;
    int descent = 0;
    int aveCharWidth = 0;
  };
  TextMetrics GetTextMetrics() const;

  // --- bit blocks ---
  void BitBlt(int x, int y, int width, int height, const Bitmap& source, int sx, int sy,
              unsigned rop = SRCCOPY);
  void StretchBlt(int x, int y, int width, int height, const Bitmap& source, int sx, int sy,
                  int swidth, int sheight, unsigned rop = SRCCOPY);

  // --- clipping ---
  void SelectClipRect(const Rect& r);
  void SelectClipPolygon(const std::vector<Point>& points);
  void ClearClip();

  // --- device ---
  virtual int GetDeviceCaps(int index) const;
  virtual DeviceCaps Caps() const = 0;
  // Pixel surface behind the DC, when there is one (windows, bitmaps).
  virtual Bitmap* Surface() { return nullptr; }

  // The clip region (a metafile player combines its own clipping with it).
  struct Clip {
    enum Kind { None, Rectangle, Polygon } kind = None;
    Rect rect;
    std::vector<Point> polygon;
  };
  const Clip& CurrentClip() const { return clip_; }

 protected:

  // Primitives each target implements.  Coordinates are device pixels,
  // the state above is available through the accessors.
  virtual void DoLine(Point from, Point to) = 0;                 // end pixel excluded
  virtual void DoPolyline(const std::vector<Point>& pts);         // default: DoLine pairs
  virtual void DoPolylineTo(Point from, const Point* pts, std::size_t n);  // default: DoLine steps
  virtual void DoRectangle(const Rect& r) = 0;                    // pen outline + brush fill
  virtual void DoEllipse(const Rect& r) = 0;
  virtual void DoPolygon(const std::vector<Point>& pts) = 0;
  virtual void DoArc(const Rect& box, Point start, Point end, bool pie) = 0;
  virtual void DoFillRect(const Rect& r, const Brush& brush) = 0;
  virtual void DoPatBlt(const Rect& r, unsigned rop) = 0;
  virtual void DoTextOut(Point p, const std::string& text) = 0;   // honours align/bk mode
  virtual Size DoTextExtent(const std::string& text) const = 0;
  virtual TextMetrics DoTextMetrics() const = 0;
  virtual void DoBitBlt(const Rect& dest, const Bitmap& source, const Rect& src, unsigned rop) = 0;
  virtual void DoClipChanged() {}

 private:
  struct Saved;
  Pen pen_;
  Brush brush_;
  LogFont font_;
  Colour textColour_ = 0;
  Colour bkColour_ = Rgb(255, 255, 255);
  int bkMode_ = OPAQUE;
  int rop2_ = R2_COPYPEN;
  unsigned textAlign_ = TA_LEFT | TA_TOP;
  int polyFillMode_ = ALTERNATE;
  Point cp_;
  Clip clip_;
  std::vector<Saved> saved_;
};

// Draws on a bitmap (a window's client surface or a memory bitmap) with
// exact pixels: no antialiasing.  Several DCs may draw on one bitmap at a
// time.
class BitmapDC : public DC {
 public:
  explicit BitmapDC(Bitmap& target);
  ~BitmapDC() override;
  Colour SetPixel(int x, int y, Colour c) override;
  Colour GetPixel(int x, int y) const override;
  DeviceCaps Caps() const override;
  Bitmap* Surface() override { return &target_; }
  // Capabilities reported by this DC; a window DC reports the screen's.
  void SetCaps(const DeviceCaps& caps) { caps_ = caps; }

 protected:
  void DoLine(Point from, Point to) override;
  void DoPolyline(const std::vector<Point>& pts) override;
  void DoPolylineTo(Point from, const Point* pts, std::size_t n) override;
  void DoRectangle(const Rect& r) override;
  void DoEllipse(const Rect& r) override;
  void DoPolygon(const std::vector<Point>& pts) override;
  void DoArc(const Rect& box, Point start, Point end, bool pie) override;
  void DoFillRect(const Rect& r, const Brush& brush) override;
  void DoPatBlt(const Rect& r, unsigned rop) override;
  void DoTextOut(Point p, const std::string& text) override;
  Size DoTextExtent(const std::string& text) const override;
  TextMetrics DoTextMetrics() const override;
  void DoBitBlt(const Rect& dest, const Bitmap& source, const Rect& src, unsigned rop) override;
  void DoClipChanged() override;

 private:
  struct Impl;
  Bitmap& target_;
  DeviceCaps caps_;
  std::unique_ptr<Impl> impl_;
};

// The screen's capabilities (fixed in tests through plat::testing).
DeviceCaps ScreenCaps();

}  // namespace plat
