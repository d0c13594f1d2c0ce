// The export commands and writer operations of the graphics layer.  A bare
// graphics window exports nothing: the plot windows run the export, and the
// EPS, SVG and PiCTeX writers replace the empty writer operations below.
// The drawing routines already call them wherever a figure is recorded.
#include "graphics/zor_wing.h"

namespace kv {

// ---- export commands ----

void TZORWing::ExportPictex() {}
bool TZORWing::CanExportPictex() { return true; }
void TZORWing::CeExportPictex(plat::CommandEnabler& ce) { ce.Enable(CanExportPictex()); }
void TZORWing::ExportEps() {}
bool TZORWing::CanExportEps() { return true; }
void TZORWing::CeExportEps(plat::CommandEnabler& ce) { ce.Enable(CanExportEps()); }
void TZORWing::ExportSvg() {}
bool TZORWing::CanExportSvg() { return true; }
void TZORWing::CeExportSvg(plat::CommandEnabler& ce) { ce.Enable(CanExportSvg()); }

// ---- PiCTeX ----

void TZORWing::WritePictexRule(const TPoint2D& a, const TPoint2D& b) {}
void TZORWing::WritePictexText(const std::string& text, const std::string& orientation, const TPoint2D& p,
                               bool math) {}
void TZORWing::WritePictexArrow(const TPoint2D& v, const TPoint2D& tip, long double headLength, bool filled) {}
void TZORWing::WritePictexLineStyle(int style, bool solid) {}
void TZORWing::WritePictexPolyline(const TPoint2D* points, int last) {}
void TZORWing::WritePictexMarker(const TPoint2D& p, int style, bool open) {}

// ---- SVG ----

void TZORWing::SvgWorldLine(const TPoint2D& a, const TPoint2D& b, const TPenSpec& pen, int style) {}
void TZORWing::WriteSvgSlotText(plat::DC& dc, int x, int y, const std::string& text, plat::Colour colour,
                                int fontSlot, int hAlign, int vAlign) {}
void TZORWing::WriteSvgRect(int x, int y, int width, int height, bool hollow, plat::Colour fill, int lineWidth,
                            plat::Colour stroke, int rx, int ry) {}
void TZORWing::WriteSvgPolygon(const plat::Point* points, int count, bool hollow, plat::Colour fill, int width,
                               plat::Colour stroke, int hatchStyle) {}
void TZORWing::WriteSvgCross(int x, int y, int r, plat::Colour colour, bool diagonal) {}

// ---- EPS ----

void TZORWing::EpsWorldLine(const TPoint2D& a, const TPoint2D& b, int colourIndex, int width, int style) {}
void TZORWing::WriteEpsText(plat::DC& dc, int x, int y, const std::string& text, plat::Colour colour,
                            int fontSlot, int hAlign, int vAlign) {}
void TZORWing::WriteEpsPolygon(const TPoint2D* points, int count, bool white, plat::Colour fill, int width,
                               plat::Colour outline) {}
void TZORWing::WriteEpsPolyline(const TPoint2D* points, int last, plat::Colour colour, int width) {}

}  // namespace kv
