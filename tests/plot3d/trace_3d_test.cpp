// "Graphverlauf" in the 3D window: a point on a space curve with its
// velocity, curvature and principal normal, handed to the window's trace
// overlay, and the point it adds as an entry.
#include <gtest/gtest.h>

#include <cmath>

#include "core/number_text.h"
#include "entry/trace_dialog.h"
#include "platform/keys.h"
#include "plot3d/plot3_test_util.h"
#include "plot3d/stereogram_win.h"

namespace kv {
namespace {

double D(long double v) { return static_cast<double>(v); }

class Trace3D : public kvtest::PlotWindowTest<TPlot3Win> {};

TEST_F(Trace3D, HelixShowsVelocityCurvatureAndNormal) {
  TPlot3Win* w = MakeWindow("Unbenannt1.kv3");
  const int i = w->AppendEquation(kKindSpaceCurve, {"cos(t)", "sin(t)", "t"});
  w->Equation(i).lowerBound.x = -3;
  w->Equation(i).upperBound.x = 3;
  ASSERT_TRUE(w->Command(kCm3GraphTrace));
  Settle(w);
  TTraceDlg* d = w->GraphTraceDialog();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->TemplateName(), "TRACE3");
  EXPECT_TRUE(d->IsItemVisible(kIdTraceDegree));
  EXPECT_EQ(d->ListCount(kIdTraceDegree), 10);
  d->SetCheck(kIdTraceTangent, true);
  d->Press(kIdTraceTangent);
  d->SetItemText(kIdTraceParameter, "0");
  d->PressKey(kIdTraceParameter, plat::VK_RETURN);
  const TTraceState& st = d->State();
  ASSERT_TRUE(st.defined);
  // r(t) = (cos t, sin t, t): speed sqrt 2, curvature 1/2, the normal
  // points to the axis.
  EXPECT_NEAR(D(st.speed), std::sqrt(2.0), 1e-12);
  EXPECT_NEAR(D(st.curvature), 0.5, 1e-12);
  EXPECT_NEAR(D(st.normal.x), -1, 1e-12);
  const auto n = [&](long double v) { return FormatNumber(v, 0, w->Decimals); };
  EXPECT_EQ(d->GetItemText(kIdTraceCoordinates), "x = " + n(1) + "\r\ny = " + n(0) + "\r\nz = " + n(0) + "\r\n");
  EXPECT_EQ(d->GetItemText(kIdTraceSlope), "Komponenten: [ " + n(0) + " ; " + n(1) + " ; " + n(1) +
                                               " ]\r\nGeschwindigkeit: " + n(std::sqrt(2.0L)) +
                                               "\r\nKrümmung: " + n(0.5L));
  // The overlay follows the dialog; closed, it is gone.
  w->RepaintNow(false);
  Settle(w);
  EXPECT_TRUE(w->Overlays.trace.shown);
  EXPECT_TRUE(w->Overlays.trace.tangentOn);
  EXPECT_NEAR(D(w->Overlays.trace.p1.x), 1, 1e-12);
  // Enter in the field takes another place: t = 1.5 lies at height 1.5.
  d->SetItemText(kIdTraceParameter, "1.5");
  d->PressKey(kIdTraceParameter, plat::VK_RETURN);
  EXPECT_NEAR(D(st.point.z), 1.5, 1e-12);
  EXPECT_NEAR(D(st.point.x), std::cos(1.5), 1e-12);
  // "Punkt" adds the traced point as an entry of its own; the surfaces chosen
  // in the open stereogram dialog stay chosen.
  for (const char* f : {"xx+yy", "x+y"}) w->AppendEquation(kKindSurface, {"", "", f});
  w->EquationsChanged(false);
  w->Command(kCm3Stereogram);
  TRDSDlg* rds = w->StereogramDlg;
  ASSERT_NE(rds, nullptr);
  ASSERT_EQ(rds->ListCount(kStereogramList), 2);
  rds->ListSetMultiSel(kStereogramList, 1, true);
  d->Press(kCmTracePoint);
  ASSERT_EQ(w->equationCount, 3);
  EXPECT_EQ(w->Equation(3).kind, kKindPoint3D);
  EXPECT_EQ(rds->ListGetMultiSel(kStereogramList), std::vector<int>{1});
  d->PressEscape();
  w->RepaintNow(false);
  Settle(w);
  EXPECT_FALSE(w->Overlays.trace.shown);
}

}  // namespace
}  // namespace kv
