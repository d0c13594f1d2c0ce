// EmfDC records what is drawn on it as an enhanced metafile: the same
// drawing calls as any other DC (pens, brushes, fonts, text, lines,
// polylines, polygons, ellipses, arcs, pies, rectangles, pixels, pattern
// fills, bit blocks, clipping), so that a plot draws into it as it draws on
// the screen.  Coordinates are pixels of the reference device (usually the
// window's client DC); the header's frame says how large they are on paper.
//
// The metafile keeps the records that other programs understand: state
// changes are written only before a drawing that needs them, text is
// written as UTF-16 with the advance of each character, bit blocks as
// 24-bit device-independent bitmaps of the part copied.  A symbol-charset
// font is written as the font that draws it here with the characters it
// shows, so that other programs show the same glyphs.
#pragma once

#include <memory>
#include <string>

#include "platform/dc.h"
#include "platform/emf_metafile.h"

namespace plat {

class EmfDC : public DC {
 public:
  // `frame`: the picture's rectangle in hundredths of a millimetre (an
  // empty one is taken from the drawn bounds); `description`: program and
  // picture name separated by a NUL character (see EmfDescription).
  EmfDC(const DeviceCaps& reference, const Rect& frame, const std::string& description);
  ~EmfDC() override;

  // Ends the recording and gives the metafile.  Afterwards the DC records
  // nothing and Close gives a null metafile.
  EnhMetafile Close();

  Colour SetPixel(int x, int y, Colour c) override;
  // A metafile has no pixels to read back: always 0xFFFFFFFF.
  Colour GetPixel(int x, int y) const override;
  // The reference device's capabilities.
  DeviceCaps Caps() const override;

 protected:
  void DoLine(Point from, Point to) override;
  void DoPolyline(const std::vector<Point>& pts) override;
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

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The description the header holds: program, NUL, picture name.
std::string EmfDescription(const std::string& program, const std::string& picture);

}  // namespace plat
