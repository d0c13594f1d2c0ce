// The integral calculus of the 2D window: the shared bounds of the
// integration dialogs, Riemann sums with their strips, antiderivative
// graphs and arc lengths.  The mathematics is in
// plot2d/model/riemann.h and entry/model/numeric_integration.h; here the
// window hands them its entries, bounds, key poll and number format.
#include <algorithm>
#include <cmath>
#include <vector>

#include "entry/model/plot_file_blocks.h"
#include "graphics/export_sink.h"
#include "plot2d/model/riemann.h"
#include "plot2d/plot_a_win.h"
#include "platform/app.h"

namespace kv {

// ---- shared bounds ----

long double& TPlotAWin::IntegrationLeft() {
  auto& v = storedSettings.values;
  long double& a = v[kValueIntegrationA];
  long double& b = v[kValueIntegrationB];
  if (!std::isfinite(a) || !std::isfinite(b) || !(b > a)) {
    // A window that never integrated: [0, 1] when the view shows it.
    a = 0;
    b = 1;
    if (World.xmin > 0 || World.xmax < 1) {
      const long double w = World.xmax - World.xmin;
      a = World.xmin + w / 4;
      b = World.xmax - w / 4;
    }
  }
  return a;
}

long double& TPlotAWin::IntegrationRight() {
  IntegrationLeft();
  return storedSettings.values[kValueIntegrationB];
}

std::int32_t TPlotAWin::IntegrationDivisions() const {
  const long double n = storedSettings.values[kValueIntegrationN];
  if (!std::isfinite(n) || n < 1 || n > kMaxIntegrationSteps) return 100;
  return static_cast<std::int32_t>(n);
}

void TPlotAWin::SetIntegrationDivisions(std::int32_t n) { storedSettings.values[kValueIntegrationN] = n; }

TQuadratureControl TPlotAWin::QuadratureControl(std::uint32_t seed) {
  TQuadratureControl c;
  c.uniform = [u = TSeededUniform(seed)]() mutable { return u(); };
  c.stop = [this] { return StopKeyPressed(); };
  return c;
}

void TPlotAWin::SetIntegrationResult(long double value, bool gaps) {
  integrationValue = value;
  FormatIntegral(value, gaps, integrationText);
}

// ---- Riemann sums ----

int TPlotAWin::RiemannArea(int f, int g) {
  if (!IsValidIndex(f)) return 9;  // "nichts zu tun"
  const TExprNode* ft = Equation(f).trees[1].get();
  const TExprNode* gt = IsValidIndex(g) ? Equation(g).trees[1].get() : nullptr;
  if (!ft || (IsValidIndex(g) && !gt)) return kIntegrationUndefined;
  SetFocus();
  SetCaption(1, 0, 0);
  // A fresh seed per computation; the overlay reuses it.
  riemannSeed = static_cast<std::uint32_t>(plat::Rand()) | 1u;
  SaveVariables();
  TSixSums sums;
  const int code = RiemannSums(Engine(), ft, gt, IntegrationLeft(), IntegrationRight(), IntegrationDivisions(),
                               QuadratureControl(riemannSeed), sums);
  RestoreVariables();
  UpdateCaption(false);
  // Sums cut short by "A" are no result: the last result stays.
  if (code == kIntegrationStopped) return code;
  if (code != kIntegrationOk) {
    ruleValues.fill(0);
    for (std::string& t : ruleTexts) t.clear();
    return code;
  }
  // A sum that met an undefined sample says so after its number.
  for (std::size_t r = 0; r < kSumCount; ++r) {
    ruleValues[r] = sums.value[r];
    FormatIntegral(sums.value[r], sums.gaps[r], ruleTexts[r]);
  }
  // Simpson's sum stands for the integral.
  SetIntegrationResult(sums.value[kSumSimpson], sums.gaps[kSumSimpson]);
  return kIntegrationOk;
}

int TPlotAWin::DrawRiemannOverlay(plat::DC& dc, int f, int g, long double a, long double b, std::int32_t n) {
  const int rule = firstOverlayRule;
  if (rule < kStripLeft || rule > kStripRandom || !IsValidIndex(f)) return 0;
  TExprNode* ft = Equation(f).trees[1].get();
  TExprNode* gt = IsValidIndex(g) ? Equation(g).trees[1].get() : nullptr;
  if (!ft || (IsValidIndex(g) && !gt)) return 0;
  TExportSink* sink = ActiveSink();
  if (sink && sink->Format() == TExportFormat::Eps) sink->Comment("begin Riemann overlay");
  std::vector<TStrip> strips;
  SaveVariables();
  const int code = ComputeStrips(Engine(), ft, gt, a, b, n, AreaWidth(),
                                 QuadratureControl(riemannSeed), strips);
  RestoreVariables();
  if (strips.empty()) return code == kIntegrationStopped ? 'A' : 0;

  const int colour = CheckColourIndex(ColourSlots[kRiemannColourSlot]);
  TPenSpec spec;
  spec.colour = static_cast<std::uint16_t>(colour);
  spec.width = 1;
  const TExportPen pen = ExportPenOf(spec);
  const plat::Pen oldPen = dc.SelectPen(CreateColourPen(colour, 1, 0));
  const long double yLow = World.ymin;
  const long double yHigh = World.ymax;
  auto clip = [&](long double y, bool& clipped) {
    clipped = !(y >= yLow && y <= yHigh);
    return std::clamp(y, yLow, yHigh);
  };
  auto line = [&](TPoint2D p, TPoint2D q) {
    if (!std::isfinite(p.y) || !std::isfinite(q.y)) return;
    if (sink)
      sink->Line(p, q, pen);
    else
      DrawWorldLine(dc, p, q, true);
  };

  const auto drawn = static_cast<long double>(strips.size());
  const bool wide = 3.0L * drawn < (b - a) / UnitsPerPixelX;
  int result = 0;
  // One strip's outline: its two sides and its top and bottom edges.
  auto drawStrip = [&](const TStrip& s) {
    const TStripEdges e = StripEdges(s, rule);
    bool c1, c2, c3, c4;
    const long double tl = clip(e.topLeft, c1), tr = clip(e.topRight, c2);
    const long double bl = clip(e.bottomLeft, c3), br = clip(e.bottomRight, c4);
    if (s.xLeft >= World.xmin) line({s.xLeft, bl}, {s.xLeft, tl});
    if (s.xRight < World.xmax) line({s.xRight, br}, {s.xRight, tr});
    for (int edge = 0; edge < 2; ++edge) {
      const bool bottom = edge == 1;
      if (bottom ? (c3 || c4) : (c1 || c2)) continue;
      if (rule == kStripParabola) {
        // A polyline of an even number of pieces, about one per 16 pixels.
        const long double w = s.xRight - s.xLeft;
        const int pieces = std::max(2, 2 * static_cast<int>(std::lround(0.06L * w / UnitsPerPixelX)));
        TPoint2D p{s.xLeft, bottom ? bl : tl};
        for (int k = 1; k <= pieces; ++k) {
          const long double x = k == pieces ? s.xRight : s.xLeft + w * k / pieces;
          const TPoint2D q{x, StripParabola(s, x, bottom)};
          if (!(q.y >= yLow && q.y <= yHigh)) break;
          line(p, q);
          p = q;
        }
      } else {
        line({s.xLeft, bottom ? bl : tl}, {s.xRight, bottom ? br : tr});
      }
    }
  };
  if (wide) {
    for (const TStrip& s : strips) {
      // A strip with an undefined value is left out; the others are drawn.
      if (StripDefined(s, rule)) drawStrip(s);
      if (StopKeyPressed()) {
        result = 'A';
        break;
      }
    }
  } else {
    // Strips of 3 pixels or less would be a smear: shade the region between
    // the two graphs instead, column by column.
    std::vector<TPoint2D> upper, lower;
    const int x0 = std::max(AreaOriginX(), WorldToPixelX(a));
    const int x1 = std::min(AreaOriginX() + AreaWidth(), WorldToPixelX(b));
    SaveVariables();
    for (int px = x0; px <= x1; ++px) {
      const long double x = PixelToWorldX(px);
      long double fy = 0, gy = 0;
      if (!Engine().EvaluateAt(ft, 'X', x, fy)) continue;
      if (gt && !Engine().EvaluateAt(gt, 'X', x, gy)) continue;
      bool c;
      const long double top = clip(std::max(fy, gy), c);
      const long double bottom = clip(std::min(fy, gy), c);
      if (sink) {
        upper.push_back({x, top});
        lower.push_back({x, bottom});
      } else {
        dc.MoveTo(px, WorldToPixelY(top));
        dc.LineTo(px, WorldToPixelY(bottom) + 1);
      }
    }
    RestoreVariables();
    if (sink && !upper.empty()) {
      // Lower edge forwards, upper edge backwards: PiCTeX shades it over x.
      lower.insert(lower.end(), upper.rbegin(), upper.rend());
      sink->Hatch(lower.data(), static_cast<int>(lower.size()), GetColour(colour), -1);
    }
  }
  dc.SelectPen(oldPen);
  return result;
}

// ---- antiderivative graphs ----

int TPlotAWin::AddAntiderivativeGraph(int f, int g, int letter) {
  if (!IsValidIndex(f)) return 9;
  if (!CanAddEquation(false)) return 4;
  const bool hasG = IsValidIndex(g);
  // The graph is built from its sources' trees; it keeps no texts of its
  // own.
  const int i = AppendEquation(kKindAntiderivative, World.xmin, World.xmax, {});
  if (i < 0) return 4;
  TEquation& e = Equation(i);
  // A tool's graph takes the colour of the curve chosen in its dialog.
  e.penColour = static_cast<std::uint16_t>(drawingColour);
  e.derivation = kDerivedAntiderivative;
  e.source1 = static_cast<std::int16_t>(f);
  e.source2 = static_cast<std::int16_t>(hasG ? g : -1);
  // Of f alone it takes f's last two value blocks: the codes of the dots
  // and arrows at its ends.
  if (!hasG) {
    e.values[8] = Equation(f).values[8];
    e.values[9] = Equation(f).values[9];
  }
  e.startValue() = IntegrationLeft();
  if (letter >= 1 && letter <= 23) {
    SetVariable(letter, e.startValue());
    e.subKind = static_cast<std::int16_t>(letter);
  } else {
    e.subKind = 0;
  }
  if (!BuildAntiderivativeItem(i)) {
    DropLastEquation();
    return 1;
  }
  ++entryCounter;
  MarkEquationTokens(i);
  AddEquationLabel();
  EquationsChanged(true);
  DrawEquationBuffered(i);
  return 0;
}

bool TPlotAWin::BuildAntiderivativeItem(int i) {
  if (!IsValidIndex(i)) return false;
  TEquation& e = Equation(i);
  if (!IsValidIndex(e.source1)) return false;
  const TEquation* g = IsValidIndex(e.source2) ? &Equation(e.source2) : nullptr;
  return BuildAntiderivativeTrees(e, Equation(e.source1), g);
}

// ---- arc length ----

int TPlotAWin::ArcLengthOf(int i) {
  if (!IsValidIndex(i)) return 9;
  TreePtr integrand = BuildArcLengthIntegrand(Equation(i));
  if (!integrand) return kIntegrationNoDerivative;
  SetCaption(1, 0, 0);
  SaveVariables();
  TSixSums sums;
  const int code = IntegrateNumerically(Engine(), integrand.get(), CurveLetterOf(Equation(i)),
                                        IntegrationLeft(), IntegrationRight(), IntegrationDivisions(),
                                        QuadratureControl(riemannSeed), sums);
  RestoreVariables();
  UpdateCaption(false);
  // Simpson's sum is the length; a run stopped with "A" leaves no result.
  if (code == kIntegrationOk) SetIntegrationResult(sums.value[kSumSimpson], sums.gaps[kSumSimpson]);
  return code;
}

}  // namespace kv
