// Platform-internal: the metafile player's pieces.  The transform and
// state records a play keeps, the objects a metafile creates, the pixel
// helpers, and the Player, which walks the records and draws them with a
// DC's own primitives.  Its members are defined by record group: the run
// and the record dispatch in emf_player.cpp, transforms, DC state and
// clipping in emf_player_state.cpp, shapes, paths and regions in
// emf_player_drawing.cpp, objects and bitmaps in emf_player_objects.cpp,
// text in emf_player_text.cpp and the drawing work each costs in
// emf_player_work.cpp.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/bitmap.h"
#include "platform/dc.h"
#include "platform/emf_player.h"
#include "platform/emf_records.h"

namespace plat::emf_play {

using namespace emf;

inline constexpr double kPi = std::numbers::pi;
inline constexpr double kMaxCoordinate = 1e9;   // destination pixels beyond this are clamped
inline constexpr double kMaxScale = 1e9;        // transforms beyond this are refused
inline constexpr std::size_t kMaxSavedStates = 4096;
inline constexpr std::size_t kMaxTextUnits = 4096;
inline constexpr std::uint32_t kMaxRegionRects = 4096;
inline constexpr int kMaxClipRects = 4096;      // more go to the DC as their bounding box
inline constexpr double kDefaultPixelMm100 = 2540.0 / 96.0;  // 96 pixels per inch

// Drawing work (see kMaxDrawingWork), besides the pixels covered: a record
// read (and one unit for every eight of its bytes), a call handed to the
// DC, a line of a wide pen (the DC paints a mask for it), a pixel set, a
// point read or made (arcs, curves), a character read, a glyph drawn, a
// rectangle of a region read or handed on as a clip, and a rectangle of a
// region combined with the clip.
inline constexpr std::int64_t kRecordWork = 8;
inline constexpr std::int64_t kByteWork = 8;  // bytes a unit
inline constexpr std::int64_t kDrawWork = 64;
inline constexpr std::int64_t kMaskWork = 512;
inline constexpr std::int64_t kPixelWork = 8;
inline constexpr std::int64_t kPointWork = 4;
inline constexpr std::int64_t kCharWork = 4;
inline constexpr std::int64_t kGlyphWork = 512;
inline constexpr std::int64_t kRegionRectWork = 64;
inline constexpr std::int64_t kCombinedRectWork = 16;
// Records and work between two readings of the clock (the work of about a
// millisecond).
inline constexpr int kClockRecords = 16;
inline constexpr std::int64_t kClockWork = 256 * 1024;

// x' = a x + c y + e, y' = b x + d y + f.
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  QPointF Map(double x, double y) const { return QPointF(a * x + c * y + e, b * x + d * y + f); }
  QPointF Map(QPointF p) const { return Map(p.x(), p.y()); }
  QPointF MapVector(double x, double y) const { return QPointF(a * x + c * y, b * x + d * y); }
  // This transform first, then `n`.
  Affine Then(const Affine& n) const {
    return Affine{n.a * a + n.c * b, n.b * a + n.d * b, n.a * c + n.c * d,
                  n.b * c + n.d * d, n.a * e + n.c * f + n.e, n.b * e + n.d * f + n.f};
  }
  double Det() const { return a * d - b * c; }
  bool AxisAligned() const {
    const double s = std::abs(a) + std::abs(d);
    return std::abs(b) <= 1e-9 * s && std::abs(c) <= 1e-9 * s;
  }
  bool Sound() const {
    for (double v : {a, b, c, d, e, f})
      if (!std::isfinite(v) || std::abs(v) > kMaxScale * 1e3) return false;
    for (double v : {a, b, c, d})
      if (std::abs(v) > kMaxScale) return false;
    return true;
  }
};

struct PenSpec {
  int style = PS_SOLID;
  double width = 0;      // logical units
  bool cosmetic = true;  // always one pixel wide
  Colour colour = 0;
};

struct ObjectSlot {
  enum Kind { PenKind, BrushKind, FontKind, Other } kind = Other;
  PenSpec pen;
  Brush brush;
  LogFont font;
};

struct Figure {
  std::vector<QPointF> pts;  // destination pixels
  bool closed = false;
};

struct PlayState {
  std::uint32_t mapMode = MM_TEXT;
  QPointF winOrg{0, 0}, winExt{1, 1}, vpOrg{0, 0}, vpExt{1, 1};
  Affine world;
  PenSpec pen;
  Brush brush = SolidBrush(Rgb(255, 255, 255));
  LogFont font;
  Colour textColour = 0;
  Colour bkColour = Rgb(255, 255, 255);
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int fillMode = ALTERNATE;
  unsigned align = TA_LEFT | TA_TOP;
  bool clockwise = false;
  QPointF cp{0, 0};              // logical
  std::optional<QRegion> clip;   // destination pixels; none: no clip of the metafile's own
  // When not empty, the clip is exactly this polygon (winding rule) in
  // destination pixels: handed to the DC as it is, so that the DC's own
  // rule decides its pixels as it did when the clip was recorded.
  std::vector<QPointF> clipShape;
};

inline double Clamp(double v) {
  if (!std::isfinite(v)) return 0;
  return std::clamp(v, -kMaxCoordinate, kMaxCoordinate);
}
inline int Px(double v) { return static_cast<int>(std::floor(Clamp(v) + 0.5)); }
inline Point Px(QPointF p) { return Point{Px(p.x()), Px(p.y())}; }

inline std::vector<Point> Pxs(const std::vector<QPointF>& pts) {
  std::vector<Point> out;
  out.reserve(pts.size());
  for (const QPointF& p : pts) out.push_back(Px(p));
  return out;
}

// Sutherland-Hodgman against an axis-aligned rectangle: keeps the area of
// a polygon inside the rectangle (degenerate edges along the border do not
// change what is filled).
std::vector<QPointF> ClipToRect(const std::vector<QPointF>& in, const QRectF& r);

// Several figures as one polygon: each figure, then back along the links
// between their first points.  The links are run both ways, so they add
// nothing to the area under either fill rule.
std::vector<Point> Joined(const std::vector<std::vector<Point>>& figures);

// Cubic Bezier segments from `from` through the control triples, as line
// points (without `from`).
void Flatten(QPointF from, const std::vector<QPointF>& ctl, std::vector<QPointF>& out);

class Player {
 public:
  // `budget`: what this play may still spend (shared with other plays).
  Player(DC& dc, const Header& h, const Rect& dest, EmfPlayBudget& budget);
  EmfPlayStats Run(const std::uint8_t* data, std::size_t size);

 private:
  DC& dc_;
  EmfPlayBudget& budget_;
  // The clock is read at the first record, then every kClockRecords records
  // or kClockWork units: clockAt_ is the work left when it is read next.
  std::int64_t clockAt_;
  int clockRecords_ = 0;
  bool refused_ = false;  // the record's drawing or picture was beyond the budget
  Header h_;
  Rect dest_;
  QRectF guard_;
  QRegion base_;
  QRectF view_;  // the destination pixels a drawing can change
  std::vector<QPointF> callerShape_;  // the DC's own polygon clip
  // The largest font height and width, in destination pixels: twice the
  // longer side of what the play can show.  A taller font shows no more
  // of the picture, and every height the toolkit draws in fills its glyph
  // cache anew.
  double maxFontPixels_ = 16;
  bool valid_ = false;
  Affine final_;  // reference-device pixels to destination pixels
  Affine m_;      // logical units to destination pixels
  bool transformDirty_ = true;
  bool transformSound_ = true;
  bool clipDirty_ = true;
  PlayState s_;
  std::vector<PlayState> saved_;
  std::unordered_map<std::uint32_t, ObjectSlot> objects_;
  bool inPath_ = false;
  std::vector<Figure> path_;

  // ---- drawing work ----

  // Takes the work of a drawing from the budget, or refuses the drawing
  // (false) when it is beyond what is left.
  bool Afford(std::int64_t work);
  // Takes the work of a state change (a clip, say) even beyond what is
  // left: the play then stops before the next record.
  void Spend(std::int64_t work);
  std::int64_t AreaWork(const QRectF& box) const;
  std::int64_t AreaWork(std::span<const QPointF> pts) const;
  // The pixels walked along the seen parts of the lines through the
  // points, times the width.
  std::int64_t LineWork(std::span<const QPointF> pts, bool closed, int width) const;
  std::int64_t PenWork(std::span<const QPointF> pts, bool closed, int width) const;
  std::int64_t GlyphWork(const std::string& text, const LogFont& font) const;
  // A line or an outline in the pen, a fill outlined with it (the null
  // pen: none).
  bool AffordStroke(std::span<const QPointF> pts, bool closed, const Pen& pen);
  bool AffordFill(std::span<const QPointF> pts, const Pen& outline);
  bool AffordFigures(const std::vector<std::vector<Point>>& polys, const Pen& outline);
  bool AffordBox(const QRectF& box);
  // The bounding box on the destination of a logical rectangle.
  QRectF DeviceBox(double x, double y, double w, double h);

  // ---- transforms ----

  double PixelMm100X() const;
  double PixelMm100Y() const;
  bool SetUpFinal();
  const Affine& M();
  QPointF Map(double x, double y) { return M().Map(x, y); }
  QPointF Map(QPointF p) { return M().Map(p); }
  double ScaleX() { return std::hypot(M().a, M().b); }
  double ScaleY() { return std::hypot(M().c, M().d); }

  // ---- DC state ----

  void ApplyDefaults();
  Pen DevicePen();
  // The DC's state for a line in `pen` (the device pen), or for a fill
  // outlined with it.
  void ApplyLine(const Pen& pen);
  void ApplyFill(const Pen& pen);
  LogFont DeviceFont();
  void ApplyClip();
  void PushClip(const QRegion& eff);
  static std::vector<QPointF> ToF(const std::vector<Point>& pts);
  QRegion PolygonRegion(const std::vector<QPointF>& pts, Qt::FillRule rule);
  QRegion RectRegion(QPointF p, QPointF q) const;
  QRegion LogicalRectRegion(const Rect& r);
  void CombineClip(const QRegion& r, std::uint32_t mode);

  // ---- reading ----

  bool ReadPoints(const RecordView& r, std::size_t offset, std::uint32_t count, bool small,
                  std::vector<QPointF>& out, bool map = true);
  static Rect ReadRect(const RecordView& r, std::size_t o);
  static QPointF ReadPointL(const RecordView& r, std::size_t o) { return QPointF(r.I32(o), r.I32(o + 4)); }

  // ---- paths and drawing ----

  Figure* OpenFigure();
  void AddFigure(std::vector<QPointF> pts, bool closed);
  void StrokeDevice(const std::vector<QPointF>& pts);
  void FillDevice(const std::vector<QPointF>& pts, bool withPen);
  void FillFigures(const std::vector<Figure>& figs, bool fill, bool stroke);
  std::vector<QPointF> ArcPoints(const Rect& box, QPointF start, QPointF end, bool whole);
  std::vector<QPointF> RoundRectPoints(const Rect& box, double cw, double ch);
  std::vector<QPointF> BoxPoints(const Rect& r);
  bool Shape(std::uint32_t type, const RecordView& r);
  static QPointF ArcEndLogical(const Rect& box, QPointF end);
  bool Poly(std::uint32_t type, const RecordView& r);
  bool PolyPoly(std::uint32_t type, const RecordView& r);
  void FinishPath(bool fill, bool stroke);
  QRegion PathRegion();

  // ---- regions ----

  std::optional<QRegion> ReadRegion(const RecordView& r, std::size_t offset, std::uint32_t size, bool device);
  void FillRegion(const QRegion& region, const Brush& brush);

  // ---- objects ----

  bool Create(std::uint32_t index, ObjectSlot slot);
  void SelectStock(std::uint32_t stock);
  static int PenStyleOf(std::uint32_t style);
  static Brush BrushOf(std::uint32_t style, Colour colour, std::uint32_t hatch);
  Brush PatternBrush(const RecordView& r);

  // ---- bitmaps ----

  // `drawWork`: the work of drawing the picture, taken with that of
  // decoding it.
  Bitmap ReadDib(const RecordView& r, std::uint32_t offBmi, std::uint32_t cbBmi, std::uint32_t offBits,
                 std::uint32_t cbBits, std::int64_t drawWork = 0);
  static bool BottomUp(const RecordView& r, std::uint32_t offBmi);
  void Blit(double x, double y, double w, double h, const Bitmap& bmp, int sx, int sy, int sw, int sh, unsigned rop);
  // The work of drawing a bitmap onto the logical rectangle.
  std::int64_t BlitWork(double x, double y, double w, double h);
  void PatternBlit(double x, double y, double w, double h, unsigned rop);
  bool BitBlt(std::uint32_t type, const RecordView& r);
  bool DibBlt(std::uint32_t type, const RecordView& r);

  // ---- text ----

  std::string ShownText(const std::u16string& units) const;
  void DrawText(QPointF ref, const std::string& text, std::uint32_t options, const std::optional<Rect>& rect);
  bool ExtTextOut(std::uint32_t type, const RecordView& r);
  std::string AnsiText(const RecordView& r, std::size_t offset, std::uint32_t n) const;
  bool SmallTextOut(const RecordView& r);

  // ---- the records ----

  bool SetTransform(const Affine& a);
  static Affine ReadXform(const RecordView& r, std::size_t o);
  bool Play(const RecordView& r);
};

}  // namespace plat::emf_play
