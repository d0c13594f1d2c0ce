// Drawing on bitmaps: the pixel rules of lines, shapes, arcs, raster
// operations, clipping, text and bit blocks.
#include <gtest/gtest.h>

#include <QFontInfo>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/dc.h"
#include "platform/font_mapping.h"
#include "platform/logfont.h"

namespace {

using namespace plat;

constexpr Colour kWhite = Rgb(255, 255, 255);
constexpr Colour kBlack = Rgb(0, 0, 0);
constexpr Colour kRed = Rgb(255, 0, 0);
constexpr Colour kBlue = Rgb(0, 0, 255);

int Count(const Bitmap& b, Colour c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.GetPixel(x, y) == c;
  return n;
}

// Bounds of the pixels that differ from `bg` (empty Rect when none).
Rect ChangedBounds(const Bitmap& b, Colour bg) {
  Rect r{b.Width(), b.Height(), -1, -1};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.GetPixel(x, y) != bg) {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
  return r.right < 0 ? Rect{} : r;
}

// The bitmap as text rows, '#' for pixels that differ from `bg`.
std::string Picture(const Bitmap& b, Colour bg = kWhite) {
  std::string s;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) s += b.GetPixel(x, y) == bg ? '.' : '#';
    s += '\n';
  }
  return s;
}

Bitmap Noise(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, rng() & 0xFFFFFF);
  return b;
}

LogFont Font(const std::string& face, int height, std::uint8_t charSet = ANSI_CHARSET) {
  LogFont lf;
  lf.SetFace(face);
  lf.height = height;
  lf.charSet = charSet;
  return lf;
}

// ---------------------------------------------------------------------------
// Lines
// ---------------------------------------------------------------------------

TEST(DcLine, LeavesOutTheEndPixelAndFollowsTheIdealLine) {
  struct Case {
    const char* name;
    Point a, b;
  };
  const Case cases[] = {
      {"right", {2, 5}, {12, 5}},       {"left", {12, 5}, {2, 5}},
      {"down", {4, 1}, {4, 15}},        {"up", {4, 15}, {4, 1}},
      {"diagonal", {2, 2}, {12, 12}},   {"anti-diagonal", {12, 2}, {2, 12}},
      {"shallow", {1, 1}, {17, 6}},     {"shallow back", {17, 6}, {1, 1}},
      {"steep", {3, 1}, {7, 18}},       {"steep back", {7, 18}, {3, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap bm(20, 20);
    BitmapDC dc(bm);
    dc.MoveTo(c.a.x, c.a.y);
    dc.LineTo(c.b.x, c.b.y);
    EXPECT_EQ(dc.GetCurrentPosition(), c.b);
    const int dx = c.b.x - c.a.x, dy = c.b.y - c.a.y;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    EXPECT_EQ(Count(bm, kBlack), std::max(std::abs(dx), std::abs(dy))) << Picture(bm);
    EXPECT_EQ(bm.GetPixel(c.a.x, c.a.y), kBlack);
    EXPECT_EQ(bm.GetPixel(c.b.x, c.b.y), kWhite);
    // One pixel per step along the major axis, within half a pixel of the line.
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        if (bm.GetPixel(x, y) != kBlack) continue;
        const double t = xMajor ? double(x - c.a.x) / dx : double(y - c.a.y) / dy;
        EXPECT_GE(t, 0);
        EXPECT_LT(t, 1);
        const double ideal = xMajor ? c.a.y + t * dy : c.a.x + t * dx;
        EXPECT_LE(std::fabs((xMajor ? y : x) - ideal), 0.5) << x << "," << y;
      }
  }
}

// Lines reaching far beyond the bitmap are cut arithmetically; the visible
// pixels must be exactly those of the whole line.
TEST(DcLine, ClippedLinesKeepTheirPixels) {
  const Point off{700, 500};
  const std::pair<Point, Point> lines[] = {
      {{-300, -100}, {400, 250}}, {{-500, 50}, {600, 61}},  {{50, -400}, {61, 480}},
      {{650, 130}, {-600, -17}},  {{-13, 290}, {111, -333}}, {{99, 99}, {-500, -499}},
  };
  for (const auto& [a, b] : lines) {
    SCOPED_TRACE(testing::Message() << a.x << "," << a.y << " -> " << b.x << "," << b.y);
    Bitmap small(100, 100), big(1400, 1000);
    BitmapDC ds(small), db(big);
    ds.MoveTo(a.x, a.y);
    ds.LineTo(b.x, b.y);
    db.MoveTo(a.x + off.x, a.y + off.y);
    db.LineTo(b.x + off.x, b.y + off.y);
    int differ = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) differ += small.GetPixel(x, y) != big.GetPixel(x + off.x, y + off.y);
    EXPECT_EQ(differ, 0);
  }
  // A line across the whole integer range still costs one pixel per column.
  Bitmap bm(100, 100);
  BitmapDC dc(bm);
  dc.MoveTo(-1000000000, 3);
  dc.LineTo(1000000000, 97);
  EXPECT_EQ(Count(bm, kBlack), 100);
}

TEST(DcLine, PolylineDrawsSharedVerticesOnce) {
  Bitmap bm(20, 20);
  BitmapDC dc(bm);
  dc.SetROP2(R2_XORPEN);
  dc.SelectPen(Pen{PS_SOLID, 1, kWhite});  // white XOR white = black
  dc.Polyline({{2, 2}, {10, 2}, {10, 10}, {2, 10}});
  EXPECT_EQ(bm.GetPixel(10, 2), kBlack);
  EXPECT_EQ(bm.GetPixel(10, 10), kBlack);
  EXPECT_EQ(bm.GetPixel(2, 10), kWhite);  // the last point is left out
  EXPECT_EQ(Count(bm, kBlack), 24);
}

struct DashCase {
  int style;
  std::vector<int> runs;  // on, off, on, off ...
};

std::string Expected(const std::vector<int>& runs, int length) {
  std::string s;
  while (static_cast<int>(s.size()) < length)
    for (std::size_t k = 0; k < runs.size(); ++k) s += std::string(runs[k], k % 2 ? '.' : '#');
  return s.substr(0, length);
}

std::string Row(const Bitmap& b, int y, Colour on) {
  std::string s;
  for (int x = 0; x < b.Width(); ++x) s += b.GetPixel(x, y) == on ? '#' : '.';
  return s;
}

const DashCase kDashes[] = {
    {PS_DASH, {18, 6}},
    {PS_DOT, {3, 3}},
    {PS_DASHDOT, {9, 6, 3, 6}},
    {PS_DASHDOTDOT, {9, 3, 3, 3, 3, 3}},
};

TEST(DcPen, ThinDashesLeaveGapsWidePensDrawSolid) {
  for (const DashCase& d : kDashes) {
    SCOPED_TRACE(d.style);
    Bitmap thin(60, 5);
    BitmapDC dc(thin);
    dc.SetBkMode(TRANSPARENT);
    dc.SelectPen(Pen{d.style, 1, kBlack});
    dc.MoveTo(0, 2);
    dc.LineTo(60, 2);
    EXPECT_EQ(Row(thin, 2, kBlack), Expected(d.runs, 60));

    // Opaque mode fills the gaps with the background colour.
    Bitmap opaque(60, 5);
    BitmapDC dco(opaque);
    dco.SetBkColor(kRed);
    dco.SelectPen(Pen{d.style, 1, kBlack});
    dco.MoveTo(0, 2);
    dco.LineTo(60, 2);
    EXPECT_EQ(Row(opaque, 2, kBlack), Expected(d.runs, 60));
    EXPECT_EQ(Count(opaque, kBlack) + Count(opaque, kRed), 60);

    Bitmap wide(60, 5);
    BitmapDC dcw(wide);
    dcw.SetBkMode(TRANSPARENT);
    dcw.SelectPen(Pen{d.style, 3, kBlack});
    dcw.MoveTo(1, 2);
    dcw.LineTo(58, 2);
    EXPECT_EQ(Row(wide, 2, kBlack), std::string(60, '#'));
    EXPECT_EQ(Row(wide, 1, kBlack).substr(1, 58), std::string(58, '#'));
    EXPECT_EQ(Row(wide, 0, kBlack), std::string(60, '.'));
  }
}

TEST(DcPen, DashPatternRunsOnAcrossConnectedLines) {
  for (const DashCase& d : kDashes) {
    Bitmap once(70, 3), steps(70, 3), poly(70, 3), polyTo(70, 3);
    BitmapDC a(once), b(steps), c(poly), e(polyTo);
    for (DC* dc : {static_cast<DC*>(&a), static_cast<DC*>(&b), static_cast<DC*>(&c), static_cast<DC*>(&e)}) {
      dc->SetBkMode(TRANSPARENT);
      dc->SelectPen(Pen{d.style, 1, kBlack});
    }
    a.MoveTo(0, 1);
    a.LineTo(70, 1);
    b.MoveTo(0, 1);
    for (int x : {7, 20, 21, 45, 70}) b.LineTo(x, 1);
    c.Polyline({{0, 1}, {13, 1}, {50, 1}, {70, 1}});
    // PolylineTo continues like LineTo, also from a LineTo and across calls.
    e.MoveTo(0, 1);
    e.LineTo(5, 1);
    const Point first[] = {{6, 1}, {6, 1}, {30, 1}};
    const Point second[] = {{31, 1}, {70, 1}};
    e.PolylineTo(first, 3);
    e.PolylineTo(second, 2);
    EXPECT_EQ(e.GetCurrentPosition(), (Point{70, 1}));
    EXPECT_TRUE(once == steps) << d.style << "\n" << Picture(steps);
    EXPECT_TRUE(once == poly) << d.style;
    EXPECT_TRUE(once == polyTo) << d.style << "\n" << Picture(polyTo);
  }
}

TEST(DcPen, NullPenDrawsNothing) {
  Bitmap bm(20, 20);
  BitmapDC dc(bm);
  dc.SelectPen(NullPen());
  dc.SelectBrush(NullBrush());
  dc.MoveTo(0, 0);
  dc.LineTo(19, 19);
  dc.Rectangle(2, 2, 15, 15);
  dc.Ellipse(2, 2, 15, 15);
  dc.Polyline({{0, 5}, {19, 5}});
  EXPECT_EQ(Count(bm, kWhite), 400);
}

TEST(DcPen, WidePenHasRoundCaps) {
  Bitmap bm(30, 30);
  BitmapDC dc(bm);
  dc.SelectPen(Pen{PS_SOLID, 7, kBlack});
  dc.MoveTo(10, 15);
  dc.LineTo(20, 15);
  EXPECT_EQ(ChangedBounds(bm, kWhite), (Rect{7, 12, 24, 19}));
  EXPECT_EQ(bm.GetPixel(7, 15), kBlack);   // cap tip
  EXPECT_EQ(bm.GetPixel(7, 12), kWhite);   // cap corner is round
  EXPECT_EQ(bm.GetPixel(15, 12), kBlack);  // full width along the line
}

// ---------------------------------------------------------------------------
// Raster operations
// ---------------------------------------------------------------------------

// Result of a binary raster operation from its truth table: bit (2p + d)
// of rop - 1 is the result for pen bit p and destination bit d.
Colour ExpectedRop2(int rop, Colour pen, Colour dst) {
  Colour r = 0;
  for (int i = 0; i < 24; ++i) {
    const int p = (pen >> i) & 1, d = (dst >> i) & 1;
    r |= static_cast<Colour>(((rop - 1) >> (2 * p + d)) & 1) << i;
  }
  return r;
}

TEST(DcRop, AllSixteenOperationsOnLinesAndFills) {
  const Colour pen = Rgb(0x35, 0xC6, 0x0F), brush = Rgb(0xA0, 0x5A, 0xFF), dst = Rgb(0x69, 0x3C, 0x81);
  for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) {
    SCOPED_TRACE(rop);
    Bitmap bm(12, 12, dst);
    BitmapDC dc(bm);
    EXPECT_EQ(dc.SetROP2(rop), R2_COPYPEN);
    dc.SelectPen(Pen{PS_SOLID, 1, pen});
    dc.SelectBrush(SolidBrush(brush));
    dc.MoveTo(0, 1);
    dc.LineTo(12, 1);
    dc.Rectangle(0, 4, 12, 12);
    EXPECT_EQ(bm.GetPixel(5, 1), ExpectedRop2(rop, pen, dst));
    EXPECT_EQ(bm.GetPixel(0, 4), ExpectedRop2(rop, pen, dst));    // outline
    EXPECT_EQ(bm.GetPixel(5, 7), ExpectedRop2(rop, brush, dst));  // fill
    EXPECT_EQ(bm.GetPixel(5, 2), dst);
  }
}

TEST(DcRop, InvertingOperationsDrawnTwiceRestoreTheImage) {
  for (int rop : {R2_XORPEN, R2_NOTXORPEN, R2_NOT}) {
    SCOPED_TRACE(rop);
    Bitmap bm = Noise(64, 64, 7);
    const Bitmap original = bm;
    BitmapDC dc(bm);
    dc.SetROP2(rop);
    dc.SelectBrush(SolidBrush(Rgb(0x12, 0x34, 0x56)));
    auto scene = [&dc] {
      dc.SelectPen(Pen{PS_SOLID, 1, Rgb(200, 100, 50)});
      dc.MoveTo(3, 60);
      dc.LineTo(61, 2);
      dc.LineTo(5, 5);
      dc.Polyline({{0, 30}, {63, 31}, {30, 63}, {30, 0}});
      dc.Rectangle(10, 10, 30, 25);
      dc.Ellipse(20, 15, 55, 50);
      dc.Polygon({{32, 2}, {44, 40}, {12, 16}, {52, 16}, {20, 40}});
      dc.Pie(5, 30, 40, 62, 40, 30, 5, 62);
      dc.Arc(0, 0, 64, 64, 0, 0, 64, 64);
      dc.SelectPen(Pen{PS_DASHDOT, 1, Rgb(1, 2, 3)});
      dc.Ellipse(8, 8, 56, 40);
      dc.SelectPen(Pen{PS_SOLID, 5, Rgb(9, 200, 9)});
      dc.MoveTo(5, 40);
      dc.LineTo(60, 50);
      dc.Polyline({{10, 55}, {30, 45}, {50, 58}});
      dc.Ellipse(30, 30, 60, 60);
    };
    scene();
    EXPECT_FALSE(bm == original);
    scene();
    EXPECT_TRUE(bm == original);
  }
}

TEST(DcRop, NotInvertsTheDestination) {
  Bitmap bm = Noise(16, 16, 3);
  const Bitmap original = bm;
  BitmapDC dc(bm);
  dc.SetROP2(R2_NOT);
  dc.SelectPen(Pen{PS_SOLID, 1, kRed});
  dc.MoveTo(0, 4);
  dc.LineTo(16, 4);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(bm.GetPixel(x, 4), ~original.GetPixel(x, 4) & 0xFFFFFF);
  EXPECT_EQ(bm.GetPixel(3, 5), original.GetPixel(3, 5));
}

// ---------------------------------------------------------------------------
// Shapes
// ---------------------------------------------------------------------------

TEST(DcShape, RectangleExcludesRightAndBottom) {
  Bitmap bm(20, 20);
  BitmapDC dc(bm);
  dc.SelectBrush(SolidBrush(kRed));
  dc.Rectangle(2, 3, 10, 8);
  EXPECT_EQ(ChangedBounds(bm, kWhite), (Rect{2, 3, 10, 8}));
  EXPECT_EQ(bm.GetPixel(9, 7), kBlack);
  EXPECT_EQ(bm.GetPixel(2, 5), kBlack);
  EXPECT_EQ(bm.GetPixel(3, 4), kRed);
  EXPECT_EQ(bm.GetPixel(8, 6), kRed);
  EXPECT_EQ(Count(bm, kBlack), 2 * 8 + 2 * 3);

  // Without a pen the filled area is a pixel smaller; without a brush the
  // inside stays.
  Bitmap np(20, 20);
  BitmapDC dn(np);
  dn.SelectPen(NullPen());
  dn.SelectBrush(SolidBrush(kRed));
  dn.Rectangle(2, 3, 10, 8);
  EXPECT_EQ(ChangedBounds(np, kWhite), (Rect{2, 3, 9, 7}));
  Bitmap nb(20, 20);
  BitmapDC db(nb);
  db.SelectBrush(NullBrush());
  db.Rectangle(10, 8, 2, 3);  // corners given the other way round
  EXPECT_EQ(Count(nb, kBlack), 22);
  EXPECT_EQ(nb.GetPixel(5, 5), kWhite);
}

TEST(DcShape, EllipseTouchesEveryBoxEdgeAndStaysInside) {
  const Rect boxes[] = {{0, 0, 21, 21}, {2, 3, 30, 12}, {5, 1, 9, 40}, {0, 0, 2, 2},
                        {3, 3, 4, 9},   {0, 0, 60, 3},  {1, 1, 40, 20}, {4, 4, 44, 44}};
  for (const Rect& r : boxes) {
    SCOPED_TRACE(testing::Message() << r.left << "," << r.top << "," << r.right << "," << r.bottom);
    Bitmap bm(64, 48);
    BitmapDC dc(bm);
    dc.SelectBrush(NullBrush());
    dc.Ellipse(r.left, r.top, r.right, r.bottom);
    EXPECT_EQ(ChangedBounds(bm, kWhite), r) << Picture(bm);
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const Colour c = bm.GetPixel(x, y);
        ASSERT_EQ(c, bm.GetPixel(r.left + r.right - 1 - x, y)) << "mirror x " << x << "," << y;
        ASSERT_EQ(c, bm.GetPixel(x, r.top + r.bottom - 1 - y)) << "mirror y " << x << "," << y;
        // A closed thin curve: every outline pixel has two neighbours on it.
        if (c == kBlack && r.Width() > 4 && r.Height() > 4) {
          int neighbours = 0;
          for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i) neighbours += (i || j) && bm.GetPixel(x + i, y + j) == kBlack;
          EXPECT_GE(neighbours, 2) << x << "," << y;
        }
      }
    // Filled, each row is one unbroken run and the ring stays the same.
    Bitmap filled(64, 48);
    BitmapDC df(filled);
    df.SelectBrush(SolidBrush(kRed));
    df.Ellipse(r.left, r.top, r.right, r.bottom);
    for (int y = r.top; y < r.bottom; ++y) {
      const std::string row = Row(filled, y, kWhite);
      const auto first = row.find('.'), last = row.rfind('.');
      EXPECT_EQ(row.substr(first, last - first + 1).find('#'), std::string::npos) << row;
    }
    EXPECT_EQ(Count(filled, kBlack), Count(bm, kBlack));
  }
}

TEST(DcShape, PolygonFillModesDifferOnAStar) {
  std::vector<Point> star;
  for (int k = 0; k < 5; ++k) {
    const double a = (90 + 144.0 * k) * 3.14159265358979 / 180;
    star.push_back({static_cast<int>(std::lround(25 + 20 * std::cos(a))),
                    static_cast<int>(std::lround(25 - 20 * std::sin(a)))});
  }
  int filled[3] = {};
  for (int mode : {ALTERNATE, WINDING}) {
    Bitmap bm(50, 50);
    BitmapDC dc(bm);
    dc.SelectPen(NullPen());
    dc.SelectBrush(SolidBrush(kRed));
    dc.SetPolyFillMode(mode);
    dc.Polygon(star);
    filled[mode] = Count(bm, kRed);
    EXPECT_EQ(bm.GetPixel(25, 25), mode == WINDING ? kRed : kWhite) << Picture(bm);
    EXPECT_EQ(bm.GetPixel(25, 9), kRed);  // the top point
  }
  EXPECT_GT(filled[WINDING], filled[ALTERNATE]);
}

TEST(DcShape, PolygonFillsBetweenCornersAndOutlinesThroughThem) {
  Bitmap fill(20, 20), outlined(20, 20);
  BitmapDC a(fill), b(outlined);
  a.SelectPen(NullPen());
  a.SelectBrush(SolidBrush(kRed));
  b.SelectBrush(SolidBrush(kRed));
  const std::vector<Point> square{{2, 2}, {12, 2}, {12, 12}, {2, 12}};
  a.Polygon(square);
  b.Polygon(square);
  EXPECT_EQ(ChangedBounds(fill, kWhite), (Rect{2, 2, 12, 12}));
  EXPECT_EQ(ChangedBounds(outlined, kWhite), (Rect{2, 2, 13, 13}));
  EXPECT_EQ(Count(outlined, kBlack), 40);
}

TEST(DcShape, ArcRunsCounterClockwiseOnTheScreen) {
  // Box 41 x 41 centred on pixel (20, 20); 3 o'clock is (40, 20), 12 o'clock (20, 0).
  Bitmap upperRight(41, 41), rest(41, 41), whole(41, 41);
  BitmapDC a(upperRight), b(rest), c(whole);
  a.Arc(0, 0, 41, 41, 41, 20, 20, 0);
  b.Arc(0, 0, 41, 41, 20, -5, 100, 20);  // any points on the same rays
  c.SelectBrush(NullBrush());
  c.Ellipse(0, 0, 41, 41);

  for (int y = 0; y < 41; ++y)
    for (int x = 0; x < 41; ++x)
      if (upperRight.GetPixel(x, y) == kBlack) {
        ASSERT_TRUE(x > 20 && y <= 20) << x << "," << y;
      }
  EXPECT_EQ(upperRight.GetPixel(40, 20), kBlack);
  EXPECT_EQ(upperRight.GetPixel(22, 0), kBlack);
  EXPECT_EQ(rest.GetPixel(40, 20), kWhite);  // the end ray is left out
  EXPECT_EQ(rest.GetPixel(20, 0), kBlack);
  EXPECT_EQ(rest.GetPixel(0, 20), kBlack);
  EXPECT_EQ(rest.GetPixel(20, 40), kBlack);
  EXPECT_GT(Count(rest, kBlack), 2 * Count(upperRight, kBlack));

  // The two arcs split the ellipse: drawn with XOR they make it exactly.
  Bitmap split(41, 41);
  BitmapDC s(split);
  s.SetROP2(R2_XORPEN);
  s.SelectPen(Pen{PS_SOLID, 1, kWhite});
  s.Arc(0, 0, 41, 41, 41, 20, 20, 0);
  s.Arc(0, 0, 41, 41, 20, 0, 41, 20);
  EXPECT_TRUE(split == whole) << Picture(split);

  // Equal rays draw the whole ellipse.
  Bitmap full(41, 41);
  BitmapDC f(full);
  f.Arc(0, 0, 41, 41, 30, 5, 40, -10);
  EXPECT_TRUE(full == whole);
}

TEST(DcShape, PieFillsItsSector) {
  Bitmap bm(41, 41);
  BitmapDC dc(bm);
  dc.SelectBrush(SolidBrush(kRed));
  dc.Pie(0, 0, 41, 41, 41, 20, 20, 0);
  EXPECT_EQ(bm.GetPixel(30, 10), kRed);
  EXPECT_EQ(bm.GetPixel(10, 10), kWhite);
  EXPECT_EQ(bm.GetPixel(10, 30), kWhite);
  EXPECT_EQ(bm.GetPixel(30, 30), kWhite);
  EXPECT_EQ(bm.GetPixel(40, 20), kBlack);  // arc
  EXPECT_EQ(bm.GetPixel(30, 20), kBlack);  // radius to 3 o'clock
  EXPECT_EQ(bm.GetPixel(20, 10), kBlack);  // radius to 12 o'clock
}

TEST(DcShape, FillRectAndPatternBlits) {
  struct Case {
    unsigned rop;
    Colour (*expected)(Colour brush, Colour dst);
  };
  const Case cases[] = {
      {PATCOPY, [](Colour b, Colour) { return b; }},
      {PATINVERT, [](Colour b, Colour d) { return b ^ d; }},
      {DSTINVERT, [](Colour, Colour d) { return ~d & 0xFFFFFF; }},
      {BLACKNESS, [](Colour, Colour) { return kBlack; }},
      {WHITENESS, [](Colour, Colour) { return kWhite; }},
  };
  const Colour dst = Rgb(0x31, 0x72, 0xC5), brush = Rgb(0xF0, 0x0F, 0x66);
  for (const Case& c : cases) {
    Bitmap bm(10, 10, dst);
    BitmapDC dc(bm);
    dc.SelectBrush(SolidBrush(brush));
    dc.SetROP2(R2_XORPEN);  // pattern blits ignore it
    dc.PatBlt(2, 2, 5, 4, c.rop);
    EXPECT_EQ(ChangedBounds(bm, dst), (Rect{2, 2, 7, 6})) << std::hex << c.rop;
    EXPECT_EQ(bm.GetPixel(6, 5), c.expected(brush, dst)) << std::hex << c.rop;
  }
  // FillRect: no outline, right and bottom excluded, hatch gaps in the
  // background colour.
  Bitmap bm(24, 24);
  BitmapDC dc(bm);
  dc.SetBkColor(kBlue);
  dc.FillRect(Rect{0, 0, 17, 9}, Brush{BS_HATCHED, kRed, HS_CROSS});
  EXPECT_EQ(ChangedBounds(bm, kWhite), (Rect{0, 0, 17, 9}));
  EXPECT_EQ(Count(bm, kRed), 3 * 9 + 2 * 17 - 3 * 2);
  EXPECT_EQ(Count(bm, kRed) + Count(bm, kBlue), 17 * 9);
}

// Shapes reaching far outside the bitmap are cut before they are rasterised.
TEST(DcShape, HugeCoordinatesStayCheap) {
  Bitmap bm(50, 50);
  BitmapDC dc(bm);
  dc.SelectBrush(SolidBrush(kRed));
  dc.Ellipse(-1000000000, -1000000000, 1000000000, 1000000000);
  EXPECT_EQ(Count(bm, kRed), 2500);
  dc.SelectBrush(SolidBrush(kBlue));
  dc.Polygon({{-2000000000, -2000000000}, {2000000000, -2000000000}, {0, 2000000000}});
  EXPECT_EQ(Count(bm, kBlue), 2500);
  dc.SelectPen(Pen{PS_SOLID, 5, kBlack});
  dc.MoveTo(-2000000000, 25);
  dc.LineTo(2000000000, 25);
  EXPECT_EQ(Count(bm, kBlack), 250);
  dc.SelectBrush(SolidBrush(kWhite));
  dc.SelectPen(Pen{PS_SOLID, 1, kRed});
  dc.Rectangle(-2000000000, -2000000000, 2000000000, 2000000000);
  EXPECT_EQ(Count(bm, kWhite), 2500);
  dc.Rectangle(-2000000000, 10, 2000000000, 2000000000);
  EXPECT_EQ(Count(bm, kRed), 50);
  dc.SelectPen(Pen{PS_DASH, 1, kBlack});
  dc.Ellipse(-2000000000, -5, 2000000000, 55);
  dc.Arc(-2000000000, -2000000000, 2000000000, 2000000000, 0, 0, 1, 1);
}

// ---------------------------------------------------------------------------
// Pixels, clipping and state
// ---------------------------------------------------------------------------

TEST(DcClip, RectangleStopsLinesTextAndPixels) {
  Bitmap bm(40, 40);
  BitmapDC dc(bm);
  dc.SelectClipRect(Rect{10, 10, 30, 25});
  dc.MoveTo(0, 15);
  dc.LineTo(40, 15);
  dc.SelectPen(Pen{PS_DOT, 1, kBlack});
  dc.MoveTo(20, 0);
  dc.LineTo(20, 40);
  dc.SelectFont(Font("Arial", -20));
  dc.TextOut(0, 12, "WWWWWWWW");
  dc.SelectBrush(SolidBrush(kRed));
  dc.Ellipse(0, 0, 40, 40);
  EXPECT_EQ(dc.SetPixel(5, 5, kBlue), 0xFFFFFFFFu);
  EXPECT_EQ(dc.SetPixel(12, 12, kBlue), kBlue);
  EXPECT_EQ(dc.GetPixel(5, 5), 0xFFFFFFFFu);
  EXPECT_EQ(ChangedBounds(bm, kWhite), (Rect{10, 10, 30, 25})) << Picture(bm);

  dc.ClearClip();
  dc.SelectPen(Pen{PS_SOLID, 1, kBlack});
  dc.MoveTo(0, 35);
  dc.LineTo(40, 35);
  EXPECT_GE(Count(bm, kBlack), 40);
  EXPECT_EQ(dc.GetPixel(0, 35), kBlack);
}

TEST(DcClip, PolygonRegionAndSaveRestore) {
  Bitmap bm(40, 40);
  BitmapDC dc(bm);
  const int level = dc.SaveDC();
  dc.SelectClipPolygon({{0, 0}, {40, 0}, {0, 40}});  // pixels with x + y < 39
  dc.FillRect(Rect{0, 0, 40, 40}, SolidBrush(kRed));
  dc.MoveTo(0, 30);
  dc.LineTo(40, 30);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) {
      // Centres on the edge (x + y == 39) may go either way.
      if (x + y > 39) {
        ASSERT_EQ(bm.GetPixel(x, y), kWhite) << x << "," << y;
      } else if (x + y < 39) {
        ASSERT_NE(bm.GetPixel(x, y), kWhite) << x << "," << y;
      }
    }
  EXPECT_EQ(bm.GetPixel(5, 30), kBlack);
  EXPECT_TRUE(dc.RestoreDC(level));
  dc.FillRect(Rect{0, 0, 40, 40}, SolidBrush(kBlue));
  EXPECT_EQ(Count(bm, kBlue), 1600);
}

TEST(DcState, SaveAndRestoreTheWholeState) {
  Bitmap bm(10, 10);
  BitmapDC dc(bm);
  const int first = dc.SaveDC();
  dc.SelectPen(Pen{PS_DOT, 1, kRed});
  dc.SetROP2(R2_XORPEN);
  dc.SetTextColor(kBlue);
  dc.MoveTo(3, 4);
  dc.SelectClipRect(Rect{0, 0, 2, 2});
  const int second = dc.SaveDC();
  EXPECT_EQ(second, first + 1);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
  dc.SetPolyFillMode(WINDING);

  EXPECT_TRUE(dc.RestoreDC(-1));
  EXPECT_EQ(dc.GetBkMode(), OPAQUE);
  EXPECT_EQ(dc.GetTextAlign(), TA_LEFT | TA_TOP);
  EXPECT_EQ(dc.GetPolyFillMode(), ALTERNATE);
  EXPECT_EQ(dc.GetROP2(), R2_XORPEN);
  EXPECT_EQ(dc.SetPixel(5, 5, kBlack), 0xFFFFFFFFu);  // clip came back

  EXPECT_TRUE(dc.RestoreDC(first));
  EXPECT_EQ(dc.CurrentPen(), Pen{});
  EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
  EXPECT_EQ(dc.GetTextColor(), kBlack);
  EXPECT_EQ(dc.GetCurrentPosition(), (Point{0, 0}));
  EXPECT_EQ(dc.SetPixel(5, 5, kBlack), kBlack);
  EXPECT_FALSE(dc.RestoreDC(-1));  // nothing left
  EXPECT_FALSE(dc.RestoreDC(0));
  EXPECT_FALSE(dc.RestoreDC(5));

  // Invalid modes are refused and change nothing.
  EXPECT_EQ(dc.SetROP2(99), 0);
  EXPECT_EQ(dc.SetBkMode(7), 0);
  EXPECT_EQ(dc.SetPolyFillMode(0), 0);
  EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
}

TEST(DcPixel, OutsideTheBitmapIsInvalid) {
  Bitmap bm(4, 3);
  BitmapDC dc(bm);
  EXPECT_EQ(dc.SetPixel(1, 2, Rgb(1, 2, 3)), Rgb(1, 2, 3));
  EXPECT_EQ(dc.GetPixel(1, 2), Rgb(1, 2, 3));
  for (Point p : {Point{-1, 0}, Point{4, 0}, Point{0, 3}, Point{0, -1}}) {
    EXPECT_EQ(dc.GetPixel(p.x, p.y), 0xFFFFFFFFu);
    EXPECT_EQ(dc.SetPixel(p.x, p.y, 0), 0xFFFFFFFFu);
  }
  Bitmap none;
  BitmapDC dn(none);
  dn.Rectangle(0, 0, 5, 5);
  dn.TextOut(0, 0, "x");
  EXPECT_EQ(dn.GetPixel(0, 0), 0xFFFFFFFFu);
}

// Several DCs draw on one bitmap in turns, also after it was resized.
TEST(DcTarget, SeveralDcsShareOneBitmap) {
  Bitmap bm(20, 20);
  BitmapDC a(bm), b(bm);
  a.MoveTo(0, 0);
  a.LineTo(20, 0);
  b.SelectBrush(SolidBrush(kRed));
  b.Rectangle(5, 5, 10, 10);
  a.MoveTo(0, 19);
  a.LineTo(20, 19);
  EXPECT_EQ(Count(bm, kBlack), 20 + 20 + 16);
  bm.Resize(40, 30);
  b.MoveTo(0, 29);
  b.LineTo(40, 29);
  a.FillRect(Rect{30, 0, 40, 10}, SolidBrush(kBlue));
  EXPECT_EQ(bm.GetPixel(39, 29), kBlack);
  EXPECT_EQ(bm.GetPixel(35, 5), kBlue);
  EXPECT_EQ(bm.GetPixel(7, 7), kRed);
}

TEST(DcCaps, IndicesMapToFields) {
  DeviceCaps caps{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const std::pair<int, int> table[] = {
      {HORZSIZE, 1},       {VERTSIZE, 2},        {HORZRES, 3},          {VERTRES, 4},
      {BITSPIXEL, 5},      {RASTERCAPS, 6},      {LOGPIXELSX, 7},       {LOGPIXELSY, 8},
      {PHYSICALWIDTH, 9},  {PHYSICALHEIGHT, 10}, {PHYSICALOFFSETX, 11}, {PHYSICALOFFSETY, 12},
      {0, 0},              {-3, 0},              {999, 0},
  };
  Bitmap bm(2, 2);
  BitmapDC dc(bm);
  EXPECT_EQ(dc.Caps().horzRes, ScreenCaps().horzRes);
  dc.SetCaps(caps);
  for (const auto& [index, value] : table) {
    EXPECT_EQ(caps.Get(index), value) << index;
    EXPECT_EQ(dc.GetDeviceCaps(index), value) << index;
  }
}

// ---------------------------------------------------------------------------
// Bit blocks
// ---------------------------------------------------------------------------

TEST(DcBlit, SourceOperationsCombinePixels) {
  struct Case {
    unsigned rop;
    Colour (*f)(Colour s, Colour d);
  };
  const Case cases[] = {
      {SRCCOPY, [](Colour s, Colour) { return s; }},
      {SRCPAINT, [](Colour s, Colour d) { return s | d; }},
      {SRCAND, [](Colour s, Colour d) { return s & d; }},
      {SRCINVERT, [](Colour s, Colour d) { return s ^ d; }},
      {NOTSRCCOPY, [](Colour s, Colour) { return ~s & 0xFFFFFF; }},
  };
  const Bitmap source = Noise(4, 4, 11);
  for (const Case& c : cases) {
    Bitmap bm = Noise(8, 8, 12);
    const Bitmap before = bm;
    BitmapDC dc(bm);
    dc.BitBlt(2, 3, 4, 4, source, 0, 0, c.rop);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const bool in = x >= 2 && x < 6 && y >= 3 && y < 7;
        const Colour want = in ? c.f(source.GetPixel(x - 2, y - 3), before.GetPixel(x, y)) : before.GetPixel(x, y);
        ASSERT_EQ(bm.GetPixel(x, y), want) << std::hex << c.rop << " at " << x << "," << y;
      }
  }
}

TEST(DcBlit, CutToBothImagesAndSafeOnItself) {
  const Bitmap source = Noise(4, 4, 21);
  Bitmap bm(8, 8);
  BitmapDC dc(bm);
  dc.BitBlt(-1, 0, 20, 20, source, -3, -2);  // source pixel (0,0) lands on (2,2)
  EXPECT_EQ(ChangedBounds(bm, kWhite), (Rect{2, 2, 6, 6}));
  EXPECT_EQ(bm.GetPixel(2, 2), source.GetPixel(0, 0));
  EXPECT_EQ(bm.GetPixel(5, 5), source.GetPixel(3, 3));

  // Scrolling a bitmap onto itself by one pixel.
  Bitmap self = Noise(16, 8, 22);
  const Bitmap before = self;
  BitmapDC ds(self);
  ds.BitBlt(1, 0, 15, 8, self, 0, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 1; x < 16; ++x) ASSERT_EQ(self.GetPixel(x, y), before.GetPixel(x - 1, y));
  // A copy of the target keeps its own pixels.
  EXPECT_EQ(before.GetPixel(1, 0), Noise(16, 8, 22).GetPixel(1, 0));
}

TEST(DcBlit, StretchRepeatsAndDropsPixels) {
  const Bitmap source = Noise(2, 2, 31);
  Bitmap bm(6, 6);
  BitmapDC dc(bm);
  dc.StretchBlt(0, 0, 6, 6, source, 0, 0, 2, 2);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(bm.GetPixel(x, y), source.GetPixel(x / 3, y / 3));
  Bitmap shrunk(2, 2);
  BitmapDC dk(shrunk);
  dk.StretchBlt(0, 0, 2, 2, bm, 0, 0, 6, 6);
  EXPECT_TRUE(shrunk == source);
}

// The fast paths (row copies and fills, shared whole-image copies, the
// scanline polygon fill) against the pixel-by-pixel paths, which a clip
// polygon over the whole image selects and which then change the same pixels.
void ClipToWhole(DC& dc, const Bitmap& b) {
  dc.SelectClipPolygon({{0, 0}, {b.Width(), 0}, {b.Width(), b.Height()}, {0, b.Height()}});
}

TEST(DcFast, ScanlineFillMatchesTheGeneralPath) {
  std::mt19937 rng(41);
  struct Size {
    int side, polygons;
  };
  for (const Size& size : {Size{24, 20000}, Size{300, 1500}}) {
    std::uniform_int_distribution<int> coord(0, size.side - 1);
    std::uniform_int_distribution<int> corners(3, 7);
    for (int k = 0; k < size.polygons; ++k) {
      std::vector<Point> pts(static_cast<std::size_t>(corners(rng)));
      for (Point& p : pts) p = {coord(rng), coord(rng)};
      if (k % 5 == 0) pts[1] = pts[0];                       // a repeated corner
      if (k % 7 == 0) pts[2] = {pts[0].x, pts[1].y};         // an axis-parallel edge
      const bool winding = k % 2 == 0;
      const int penKind = k % 3;  // null, solid thin, dashed (the general path)
      const Pen pen = penKind == 0 ? Pen{PS_NULL, 1, kBlack} : Pen{penKind == 1 ? PS_SOLID : PS_DOT, 1, kRed};
      Bitmap fast(size.side, size.side), slow(size.side, size.side);
      for (Bitmap* b : {&fast, &slow}) {
        BitmapDC dc(*b);
        if (b == &slow) ClipToWhole(dc, *b);
        dc.SetPolyFillMode(winding ? WINDING : ALTERNATE);
        dc.SelectPen(pen);
        dc.SelectBrush(SolidBrush(kBlue));
        dc.Polygon(pts);
      }
      ASSERT_TRUE(fast == slow) << "polygon " << k << " of " << pts.size() << " corners, side " << size.side;
    }
  }
}

TEST(DcFast, RowCopiesAndFillsMatchTheGeneralPath) {
  std::mt19937 rng(43);
  std::uniform_int_distribution<int> pos(-12, 30), len(1, 30);
  const Bitmap source = Noise(20, 16, 44);
  for (int k = 0; k < 3000; ++k) {
    const int x = pos(rng), y = pos(rng), w = len(rng), h = len(rng), sx = pos(rng), sy = pos(rng);
    Bitmap fast = Noise(24, 24, 45), slow = fast;
    for (Bitmap* b : {&fast, &slow}) {
      BitmapDC dc(*b);
      if (b == &slow) ClipToWhole(dc, *b);
      switch (k % 3) {
        case 0: dc.BitBlt(x, y, w, h, source, sx, sy); break;
        case 1:
          dc.SelectBrush(SolidBrush(kBlue));
          dc.PatBlt(x, y, w, h, PATCOPY);
          break;
        default: dc.FillRect(Rect{x, y, x + w, y + h}, SolidBrush(kRed)); break;
      }
    }
    ASSERT_TRUE(fast == slow) << k;
  }
}

TEST(DcFast, WholeImageCopiesShareUntilWritten) {
  Bitmap source = Noise(16, 12, 51);
  const Bitmap kept = source;
  Bitmap target(16, 12);
  {
    BitmapDC dc(target);
    dc.BitBlt(0, 0, 16, 12, source, 0, 0);
  }
  EXPECT_TRUE(target == source);
  {
    BitmapDC dc(target);  // writing to the copy leaves the source alone
    dc.SelectBrush(SolidBrush(kRed));
    dc.PatBlt(0, 0, 16, 12, PATCOPY);
    dc.SetPixel(3, 3, kBlue);
  }
  EXPECT_TRUE(source == kept);
  EXPECT_EQ(Count(target, kRed), 16 * 12 - 1);
  {
    BitmapDC dc(source);  // and the other way round
    dc.BitBlt(0, 0, 16, 12, target, 0, 0);
    dc.SetPixel(0, 0, kWhite);
  }
  EXPECT_EQ(target.GetPixel(0, 0), kRed);
  EXPECT_EQ(source.GetPixel(0, 0), kWhite);
}

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

TEST(DcText, OpaqueFillsTheCellTransparentDoesNot) {
  Bitmap opaque(120, 40, kBlue), clear(120, 40, kBlue);
  BitmapDC a(opaque), b(clear);
  for (BitmapDC* dc : {&a, &b}) dc->SelectFont(Font("Arial", -18));
  b.SetBkMode(TRANSPARENT);
  a.TextOut(10, 5, "Hgx");
  b.TextOut(10, 5, "Hgx");
  const Size ext = a.GetTextExtent("Hgx");
  EXPECT_EQ(ChangedBounds(opaque, kBlue), (Rect{10, 5, 10 + ext.cx, 5 + ext.cy}));
  EXPECT_GT(Count(opaque, kWhite), 0);
  EXPECT_EQ(Count(clear, kWhite), 0);
  EXPECT_EQ(Count(clear, kBlack), Count(opaque, kBlack));  // same glyphs
  EXPECT_EQ(Count(clear, kBlack) + Count(clear, kBlue), 120 * 40);  // no antialiasing
}

TEST(DcText, AlignmentPlacesTheCellAroundTheReferencePoint) {
  Bitmap probe(1, 1);
  BitmapDC m(probe);
  m.SelectFont(Font("Times New Roman", -16));
  const Size ext = m.GetTextExtent("Label");
  const DC::TextMetrics tm = m.GetTextMetrics();
  ASSERT_EQ(ext.cy, tm.height);
  struct Case {
    unsigned align;
    Rect cell;  // relative to the reference point (60, 40)
  };
  const Case cases[] = {
      {TA_LEFT | TA_TOP, {0, 0, ext.cx, ext.cy}},
      {TA_RIGHT | TA_TOP, {-ext.cx, 0, 0, ext.cy}},
      {TA_RIGHT | TA_BOTTOM, {-ext.cx, -ext.cy, 0, 0}},
      {TA_LEFT | TA_BASELINE, {0, -tm.ascent, ext.cx, tm.descent}},
      {TA_CENTER | TA_BOTTOM, {-ext.cx / 2, -ext.cy, ext.cx - ext.cx / 2, 0}},
  };
  for (const Case& c : cases) {
    Bitmap bm(120, 80, kBlue);
    BitmapDC dc(bm);
    dc.SelectFont(Font("Times New Roman", -16));
    dc.SetTextAlign(c.align);
    dc.TextOut(60, 40, "Label");
    const Rect got = ChangedBounds(bm, kBlue);
    EXPECT_NEAR(got.left, 60 + c.cell.left, 1) << c.align;
    EXPECT_NEAR(got.right, 60 + c.cell.right, 1) << c.align;
    EXPECT_EQ(got.top, 40 + c.cell.top) << c.align;
    EXPECT_EQ(got.bottom, 40 + c.cell.bottom) << c.align;
  }
}

TEST(DcText, EscapementTurnsCounterClockwise) {
  Bitmap bm(100, 100, kBlue);
  BitmapDC dc(bm);
  LogFont lf = Font("Arial", -16);
  lf.escapement = 900;
  dc.SelectFont(lf);
  const Size ext = dc.GetTextExtent("Upward");
  dc.TextOut(40, 80, "Upward");
  const Rect got = ChangedBounds(bm, kBlue);
  // Reading upwards: the cell's top edge lies on the left, x = 40.
  EXPECT_NEAR(got.left, 40, 1);
  EXPECT_NEAR(got.right, 40 + ext.cy, 1);
  EXPECT_NEAR(got.top, 80 - ext.cx, 1);
  EXPECT_NEAR(got.bottom, 80, 1);
}

TEST(DcText, SymbolCharsetDrawsGreekForLatinBytes) {
  EXPECT_EQ(SymbolToUnicode('p'), U'\u03C0');
  EXPECT_EQ(SymbolToUnicode(176), U'\u00B0');
  EXPECT_EQ(SymbolToUnicode('A'), U'\u0391');
  EXPECT_EQ(SymbolToUnicode('1'), U'1');
  EXPECT_EQ(SymbolToUnicode(0x7F), U'\x7F');
  EXPECT_EQ(SymbolToUnicode(10), U'\n');

  Bitmap sym(40, 40), uni(40, 40);
  BitmapDC a(sym), b(uni);
  a.SelectFont(Font("Symbol", -24, SYMBOL_CHARSET));
  b.SelectFont(Font("DejaVu Sans", -24));
  a.TextOut(5, 5, "p");
  b.TextOut(5, 5, "\u03C0");
  EXPECT_GT(Count(sym, kBlack), 10);
  EXPECT_TRUE(sym == uni) << Picture(sym) << Picture(uni);
  EXPECT_EQ(a.GetTextExtent("p"), b.GetTextExtent("\u03C0"));
}

TEST(DcText, FontRecordsMapToInstalledFonts) {
  const std::pair<const char*, const char*> faces[] = {
      {"Arial", "Liberation Sans"},           {"", "Liberation Sans"},
      {"MS Sans Serif", "Liberation Sans"},   {"helvetica", "Liberation Sans"},
      {"Times New Roman", "Liberation Serif"}, {"Times", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},     {"Courier", "Liberation Mono"},
      {"Symbol", "DejaVu Sans"},              {"DejaVu Serif", "DejaVu Serif"},
      {"No Such Face 123", "Liberation Sans"},
  };
  for (const auto& [face, family] : faces) {
    EXPECT_EQ(FamilyForFace(face).toStdString(), family) << face;
    EXPECT_EQ(QFontInfo(QFontFromLogFont(Font(face, -12))).family().toStdString(), family) << face;
  }
  // Negative height: the characters; positive: the whole cell.
  Bitmap bm(1, 1);
  BitmapDC dc(bm);
  dc.SelectFont(Font("Arial", -20));
  EXPECT_EQ(QFontFromLogFont(Font("Arial", -20)).pixelSize(), 20);
  EXPECT_GT(dc.GetTextMetrics().height, 20);
  dc.SelectFont(Font("Arial", 20));
  EXPECT_LE(dc.GetTextMetrics().height, 20);
  EXPECT_GE(dc.GetTextMetrics().height, 18);
  LogFont damaged = Font("Arial", std::numeric_limits<std::int32_t>::min());
  EXPECT_LE(QFontFromLogFont(damaged).pixelSize(), 4096);
}

TEST(DcText, StyleFieldsChangeTheGlyphs) {
  auto draw = [](const LogFont& lf) {
    Bitmap bm(90, 30);
    BitmapDC dc(bm);
    dc.SelectFont(lf);
    dc.TextOut(2, 2, "Style");
    return bm;
  };
  const LogFont plain = Font("Arial", -16);
  const Bitmap base = draw(plain);
  const int inked = Count(base, kBlack);
  LogFont bold = plain, italic = plain, under = plain, strike = plain, narrow = plain;
  bold.weight = FW_BOLD;
  italic.italic = 1;
  under.underline = 1;
  strike.strikeOut = 1;
  narrow.width = 4;
  EXPECT_GT(Count(draw(bold), kBlack), inked);
  EXPECT_FALSE(draw(italic) == base);
  EXPECT_GT(Count(draw(under), kBlack), inked);
  EXPECT_GT(Count(draw(strike), kBlack), inked);
  EXPECT_LT(ChangedBounds(draw(narrow), kWhite).right, ChangedBounds(base, kWhite).right);
}

TEST(DcText, FaceNamesAreWindows1252AndTruncated) {
  LogFont lf;
  lf.SetFace("Z\u00e4pf \u20ac");
  EXPECT_EQ(static_cast<unsigned char>(lf.faceName[1]), 0xE4);
  EXPECT_EQ(static_cast<unsigned char>(lf.faceName[5]), 0x80);
  EXPECT_EQ(lf.Face(), "Z\u00e4pf \u20ac");
  lf.SetFace("\u4e2d");  // not in Windows-1252
  EXPECT_EQ(lf.Face(), "?");
  lf.SetFace(std::string(40, 'x'));
  EXPECT_EQ(lf.Face(), std::string(31, 'x'));
  EXPECT_EQ(lf.faceName[31], '\0');
  lf.SetFace(std::string("ab\xC3", 3));  // cut-off sequence
  EXPECT_EQ(lf.Face().substr(0, 2), "ab");
}

}  // namespace
