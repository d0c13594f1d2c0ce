// The line integral of a plane vector field along a parametric curve in the
// 2D window.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "entry/field_integral_dialogs.h"
#include "plot2d/plot2_test_util.h"

namespace kv {
namespace {

class LineIntegral2D : public test2d::Plot2Test {};

TEST_F(LineIntegral2D, FieldAroundTheUnitCircle) {
  TPlot2Win* w = MakeWindow();
  EXPECT_FALSE(w->IsMenuItemEnabled(kCmLineIntegral));
  const int field = w->AppendEquation(kKindOde, {"-y", "x"});
  const int circle = w->AppendEquation(kKindParametric, {"cos(t)", "sin(t)"});
  for (int i : {field, circle}) w->CompileEquation(i);
  w->EquationsChanged(false);
  ASSERT_TRUE(w->IsMenuItemEnabled(kCmLineIntegral));
  w->Command(kCmLineIntegral);
  ASSERT_NE(w->lineIntegralDlg, nullptr);
  TLineDlg& d = *w->lineIntegralDlg;
  EXPECT_EQ(d.ListCount(kIdFirstCombo), 1);
  EXPECT_EQ(d.ListCount(kIdSecondCombo), 1);
  d.SetItemText(kFieldTUpper, "2pi");
  d.SetItemText(kFieldTParts, "50");
  d.Press(kFieldCompute);
  EXPECT_NEAR(static_cast<double>(d.Value()), 2 * 3.14159265358979323846, 1e-9);
  EXPECT_EQ(w->Equation(circle).results.front().code, kResultLineIntegral);
  EXPECT_EQ(w->lineRange.parts, 50);
  std::string plain;
  w->FormatWindowNumber(d.Value(), plain);
  EXPECT_EQ(d.GetItemText(kFieldValue), plain);
  // A field undefined on part of the path (√x where x < 0): those samples
  // are left out and the value says so.
  w->Equation(field).formulaText[0] = "sqrt(x)";
  w->CompileEquation(field);
  d.Press(kFieldCompute);
  std::string marked;
  w->FormatWindowNumber(d.Value(), marked);
  EXPECT_EQ(d.GetItemText(kFieldValue), marked + " (nicht überall definiert)");
  // While its kinds are there a refresh keeps it; a new drawing ends it.
  w->CloseStaleDialogs(false);
  EXPECT_NE(w->lineIntegralDlg, nullptr);
  w->CloseStaleDialogs(true);
  EXPECT_EQ(w->lineIntegralDlg, nullptr);
}

}  // namespace
}  // namespace kv
