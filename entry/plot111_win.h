// The slider and tracing layer, the last layer the 2D and 3D windows
// share: the slider-step settings ("Schieberegler Abstufung"), the
// curve-trace dialog's command and the entry point of the graph-trace
// dialog, which each window kind opens itself.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "entry/plot11_win.h"

namespace kv {

enum : int {
  kCmGraphTrace = 708,      // "&Graphverlauf ..."
  kCmCurveTrace = 882,      // "&Kurvenverlauf ..."
  kCmSliderSteps = 1169,    // "&Schieberegler ..."
};

// Slider-step tables: entries 0..26 the parameter sliders, 27 the graph-trace
// dialog, 28 the curve-trace dialog, the rest carried along.
inline constexpr int kSliderStepEntries = 40;
inline constexpr int kGraphTraceSteps = 27;
inline constexpr int kCurveTraceSteps = 28;

class TTraceDlg;
class TTraceTrajDlg;

class TPlot111Win : public TPlot11Win {
 public:
  TPlot111Win(plat::Window* parent, const std::string& title);
  ~TPlot111Win() override;

  const plat::CommandTable& Commands() const override;
  void Destroy() override;
  void RefreshTraceDialogs() override;

  // Copies the step settings into the open slider and trace dialogs that
  // do not use steps of their own.
  virtual void SyncSliderDialogs();
  // The open slider dialogs take their sliders from their own entries
  // again, as a file read into the window left them: nothing is copied
  // from entry 0.
  void ReinitSliderDialogs();
  // The slider of parameter k has smallSteps[k] positions and pages of
  // mediumSteps[k].
  int SliderStepCount(int index) const override;
  int SliderPageCount(int index) const override;
  // The 2D window opens "TRACE", the 3D windows "TRACE3".
  virtual void OpenGraphTraceDialog() {}
  // A parametric surface x, y, z of t and u added on behalf of another
  // window; the 3D windows add one, the others none (-1).
  virtual int AddParametricSurface(std::string_view x, std::string_view y, std::string_view z, long double tLower,
                                   long double tUpper, long double uLower, long double uUpper, int tDivisions,
                                   int uDivisions) {
    return -1;
  }
  // Creates the graph-trace dialog on the template for the kinds when it is
  // missing, and shows it on top.
  TTraceDlg* ShowGraphTraceDialog(const std::string& templateName, std::initializer_list<int> kinds);
  // "&Kurvenverlauf ...": the curve-trace dialog, created when missing,
  // shown on top.
  TTraceTrajDlg* ShowCurveTraceDialog();
  // Destroys the dialog (when it exists).
  void CloseGraphTraceDialog();
  void CloseCurveTraceDialog();
  // The curve-trace dialog closes with a new drawing and when no dy/dt
  // system is left.
  void CloseStaleDialogs(bool all) override;
  // The dialogs while they exist (hidden ones too), else null.
  TTraceDlg* GraphTraceDialog() const;
  TTraceTrajDlg* CurveTraceDialog() const;
  // The dialogs that exist and are shown, else null: the paint pass draws
  // their marks.
  TTraceDlg* ShownGraphTraceDialog() const;
  TTraceTrajDlg* ShownCurveTraceDialog() const;

  // Takes "Kleine Schritte" s and "Mittlere Schritte" m: 0, or 17 when
  // s < 2, m < 1 or s < 2m (nothing changes then).
  int SetSliderSteps(long double small, long double medium);

  std::array<std::int32_t, kSliderStepEntries> smallSteps{};
  std::array<std::int32_t, kSliderStepEntries> mediumSteps{};
  // "Deutlichere Tangente" / "Vektordichte" of the trace dialogs: the trace
  // marks are drawn two pixels wide.
  std::uint8_t clearTangent = 0;

 private:
  void CmSliderSteps();
  void CmCurveTrace() { ShowCurveTraceDialog(); }
  void CeCurveTrace(plat::CommandEnabler& ce);

  std::unique_ptr<TTraceDlg> graphTraceDialog_;
  std::unique_ptr<TTraceTrajDlg> curveTraceDialog_;
};

}  // namespace kv
