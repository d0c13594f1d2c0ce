// The graphics layer of every plot window: the first layer that knows a
// world.  It keeps the view (TViewMapping), the axis and grid settings
// (TAxisSettings) and the export recording state (TExportState), draws
// world lines, markers, text boxes, grids and axes, and owns the commands
// that pan, set the zoom step and change how axes look.
//
// Export routing: every routine that draws a figure asks for the active
// export sink (export_sink.h).  The view frame and the text boxes write to
// it and then draw; grid lines and grid points go to it instead of the
// device context while a format they serve records; plain world lines and
// markers never write.
//
// The layer's implementation is split by concern: zor_wing.cpp
// (construction, commands, mapping glue, primitives), text_boxes.cpp,
// grid.cpp, axes.cpp, view_commands.cpp, axis_commands.cpp and
// export_runs.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "graphics/axis_settings.h"
#include "graphics/export_state.h"
#include "graphics/geometry.h"
#include "graphics/primitives.h"
#include "graphics/view_mapping.h"
#include "platform/dc.h"
#include "core/vector2d.h"
#include "core/vector3d.h"
#include "shell/zor_win.h"

namespace kv {

// Command ids of the graphics layer.
enum : int {
  kCmExportPictex = 70,
  kCmPiCharacter = 73,
  kCmExportEps = 85,
  kCmExportSvg = 87,
  kCmMinusSign = 92,
  kCmAxisDisplayWidth = 100,
  kCmAxisPrintWidth = 101,
  kCmAxisLabels = 102,
  kCmZoomFactor = 108,
  kCmToggleAxes = 109,
  kCmFilledArrowHeads = 110,
  kCmGridDisplayWidth = 150,
  kCmGridPrintWidth = 151,
  kCmOpaqueLabels = 220,
  kCmPanShare = 321,
  kCmPanLeft = 322,
  kCmPanRight = 323,
  kCmPanDown = 324,
  kCmPanUp = 325,
};

// Font slots of axis numbers (and the origin mark) and of axis labels.
inline constexpr int kAxisNumberFontSlot = 1;
inline constexpr int kAxisLabelFontSlot = 5;

class TZORWing : public TZORWin, public TViewMapping, public TAxisSettings, public TExportState {
 public:
  TZORWing(plat::Window* parent, const std::string& title);
  ~TZORWing() override;

  // ---- window base overrides ----
  void SetupWindow() override;  // the base's set-up, then the first UpdateView
  void EvSize(unsigned sizeType, plat::Size clientSize) override;
  void Destroy() override;
  const plat::CommandTable& Commands() const override;
  // Check marks of 220, 110, 109 and 92, then the base's.
  void UpdateMenuChecks(bool drawMenuBar) override;
  // A font slot chosen anew: axis numbers, labels and texts are drawn in
  // the window's fonts, so the picture is drawn again.
  void EvCommandNotify(int slot) override;
  // The base's tables, then the scale and ClientRegion for the current
  // drawing area (printer page or scaled output); never UpdateView.
  void BuildGreyTables() override;
  // PrintWidth when positive, else PrintScale times the view width.
  long double GetPrintWidth() override;
  // The view rectangle grown by one pixel, recorded into the export being
  // written, then the base's frame of the drawing area.
  void DrawFrame(plat::DC& dc) override;

  // ---- view mapping ----
  // The client size from the client rectangle (origin back to 0, 0), the
  // rectangle or centre block from the view mode, the scale, the tick sizes.
  virtual void UpdateView();
  // The scale for the current drawing area (ClientWidth, ClientHeight,
  // OriginX, OriginY) without touching the rectangle.
  void UpdateScale();
  void UpdateTickMetrics() { TAxisSettings::UpdateTickMetrics(*this); }
  virtual void PixelToWorld(plat::Point p, TPoint2D& out) { out = PixelToWorldPoint(p); }
  // 1 pushes the current view, -1 pops the newest record into the view
  // (the caller updates and redraws), 0 frees the stack; then the menu
  // checks.
  void ViewHistory(int op);

  // ---- view commands ----
  virtual void PreviousView();
  virtual void ZoomView(bool out);
  virtual void ChangeView(long double cx, long double cy, long double hx);
  virtual void NewView(long double cx, long double cy, long double hx, long double hy, std::uint8_t mode);
  virtual void PanView(long double fx, long double fy);
  virtual void ApplyView(long double cx, long double cy, long double hx, long double hy, bool free);
  // Sets the view without history or redraw.  Mode 0 widens the view so
  // that it covers at least hx by hy at the unchanged aspect.
  void SetView(long double cx, long double cy, long double hx, long double hy, std::uint8_t mode);
  // Snaps the corners of logarithmic axes to whole decades (world
  // coordinates there are exponents) and redraws when that changes them.
  void SetLogView(long double xmin, long double xmax, long double ymin, long double ymax);

  // ---- primitives ----
  TPenRules PenRules() const;
  bool DrawWorldLine(plat::DC& dc, const TPoint2D& p1, const TPoint2D& p2, bool clip) {
    return kv::DrawWorldLine(dc, *this, p1, p2, clip);
  }
  void DrawMarker(plat::DC& dc, int x, int y, int style, int r) { kv::DrawMarker(dc, x, y, style, r); }
  void DrawMarkerAtWorld(plat::DC& dc, const TPoint2D& p, int style, int r) {
    kv::DrawMarkerAtWorld(dc, *this, p, style, r);
  }
  // The marker at a world point in the running export's colour `c`, or on
  // the DC (in its pen and brush) when no export runs.
  void MarkWorldPoint(plat::DC& dc, const TPoint2D& p, int style, int r, plat::Colour c) {
    if (TExportSink* sink = ActiveSink())
      sink->Marker(p, style, r, c, style);
    else
      DrawMarkerAtWorld(dc, p, style, r);
  }
  int MarkerSize(const plat::DC& dc, int code) const { return kv::MarkerSize(dc, code, PenRules()); }
  void UpdateMarkerSize(const plat::DC& dc) { MarkerHalfSize = MarkerSize(dc, MarkerSizeCode); }
  plat::Pen CreateStylePen(const TPenSpec& spec) const;
  plat::Pen CreateColourPen(int colourIndex, int width, int style) const;
  // A pen of an RGB colour: width plus the frame width while printing,
  // times the factor while scaling.
  plat::Pen CreateRgbPen(plat::Colour colour, int width, int style) const;
  // The colour of an index as axes and grids draw it: black while printing
  // without colour, else the colour with the background avoided.
  plat::Colour DrawingColourOf(int colourIndex) const;

  // ---- text boxes ----
  // Measures the text in dc's font (after the long hyphen replaced its
  // minus signs) and places its box at the anchor; the anchor becomes the
  // world point of the box's top-left corner.
  void TextExtentWorld(plat::DC& dc, std::string& text, TPoint2D& anchor, int hFactor, int vFactor,
                       plat::Rect& box);
  // Paints the box (opaque labels) and the text; nothing when the box
  // starts left of or above the drawing area.  A negative text colour slot
  // means slot 3.
  void DrawTextBox(plat::DC& dc, const std::string& text, const plat::Rect& box, int boxSlot, int textSlot,
                   int fontSlot);
  void DrawTextAtWorld(plat::DC& dc, std::string text, TPoint2D anchor, int hFactor, int vFactor, int boxSlot,
                       int fontSlot);

  // ---- grid ----
  // Rectangular grid lines through the ticks of the index range.
  virtual void DrawGrid(plat::DC& dc, const TTickRange& range, const plat::Pen& gridPen,
                        const plat::Pen& majorPrintPen, const TPenSpec& displaySpec, const TPenSpec& printSpec);
  void DrawGridPoints(plat::DC& dc, const TTickRange& range, const plat::Pen& pen, int colourIndex);
  // Shortens a grid line to the alternate rectangle in x (inX) or y; true
  // when something is left (always without the alternate rectangle).
  bool ClipToAlternateRange(bool inX, TPoint2D& a, TPoint2D& b) const;
  bool DrawCircleArc(plat::DC& dc, const TPoint2D& centre, long double r, long double a1, long double a2);

  // ---- axes ----
  void DrawAxes(plat::DC& dc);
  // After the grid dialog changed a setting: hook, tick sizes, full redraw.
  void GridSettingsApplied();
  void DrawPolarSectors(plat::DC& dc, const plat::Pen& gridPen, const TPenSpec& spec);
  // One axis (the x axis or the y axis) with its arrow, ticks and numbers.
  void DrawAxisWithTicks(plat::DC& dc, bool xAxis, const TTickRange& range, const plat::Pen& axisPen,
                         const plat::Brush& axisBrush, const TPenSpec& spec);
  virtual void ExportXAxisNumbers(plat::DC& dc, const TPoint2D& anchor, bool atFrame, bool onAxis, int fontSlot);
  virtual void ExportYAxisNumbers(plat::DC& dc, const TPoint2D& anchor, bool atFrame, bool onAxis, int fontSlot);
  std::string FormatXAxisNumber(long double v) const { return FormatAxisNumber(v, NumberStyleX()); }
  std::string FormatYAxisNumber(long double v) const { return FormatAxisNumber(v, NumberStyleY()); }
  void DrawOriginMark(plat::DC& dc);
  void DrawAxisLabels(plat::DC& dc);
  void DrawTickDensityNotice(plat::DC& dc);

  // ---- arrows ----
  bool ArrowHeadPoints(const TPoint2D& v, long double len, TPoint2D& c1, TPoint2D& c2) const {
    return kv::ArrowHeadPoints(v, len, Aspect, ArrowWidthRatio, c1, c2);
  }
  // One arrow head (corners and tip in world coordinates), open or filled,
  // on the screen and in the export being recorded; PiCTeX draws it from
  // the head's vector and length.
  void DrawArrow(plat::DC& dc, const TPoint2D& c1, const TPoint2D& tip, const TPoint2D& c2, bool filled,
                 const TPenSpec& spec, const TPoint2D& vector, long double headLength);

  // ---- virtual operations of the layer ----
  // Text of a number field of the graphics dialogs to a value: 0 on
  // success, else a numbered message.  Here plain numbers (no number gives
  // 0); the formula layer accepts formulas.
  virtual std::int32_t TextToNumber(const std::string& text, long double& value);
  // Fills the tick index range and returns a code; here 0 and nothing.
  virtual std::int16_t AutoTickSpacing(TTickRange& range) { return 0; }
  virtual void ToggleAxes();
  virtual bool FalseHook() { return false; }
  virtual void ToggleFilledArrowHeads();
  virtual void GridChanged() {}
  // The 3D windows draw the frame of their box; nothing here.
  virtual std::int32_t DrawBoxFrame(plat::DC& dc) { return 0; }

  // ---- export commands ----
  virtual void ExportPictex();
  virtual bool CanExportPictex();
  virtual void CeExportPictex(plat::CommandEnabler& ce);
  virtual void ExportEps();
  virtual bool CanExportEps();
  virtual void CeExportEps(plat::CommandEnabler& ce);
  virtual void ExportSvg();
  virtual bool CanExportSvg();
  virtual void CeExportSvg(plat::CommandEnabler& ce);

  // ---- the vector exports (export_runs.cpp) ----
  // The pen of a colour index as the exports write it: in the colour the
  // screen shows (the background avoided), so the file looks the same.
  TExportPen ExportPenOf(const TPenSpec& spec) const {
    return {DrawingColourOf(spec.colour), spec.width, static_cast<std::int16_t>(spec.style)};
  }
  // A text in the font of a slot, for the active sink.
  TExportText SlotText(const std::string& text, plat::Point anchor, const TPoint2D& world, plat::Colour colour,
                       int fontSlot, int hAlign, int vAlign) const;
  // The begin writers ask for the file (and run the format's set-up
  // dialog), create the sink and write the header: false when the user
  // cancelled or the file cannot be created (reported).  The end writers
  // write the trailer and the file, clear the flag and free the sink, then
  // report success, or message 12 when the file could not be written.
  bool BeginEpsFile();
  void EndEpsFile();
  bool BeginSvgFile();
  void EndSvgFile();
  bool BeginPictexFile();
  void EndPictexFile();
  // The file part of the begin and end writers, without dialogs: creates
  // the sink of the format and writes the header (false, reported, when
  // the file cannot be created); writes trailer and file, clears the flags
  // and frees the sink (whether the file was written).
  bool OpenExportFile(TExportFormat format, const std::string& path, const TExportOptions& options);
  bool CloseExportFile();
  // The background rectangle of an EPS or SVG page.
  void WritePageBackground();
  void WritePictexShadeSymbol();
  // One export run: begin, flag, the drawing on a client-sized surface,
  // end.  Nothing happens while another run records.
  void RunExport(TExportFormat format, const std::function<void(plat::DC&)>& draw);
  // The drawn segments of a polyline with breaks (gapped_polyline.h) on the
  // DC with its current pen.
  void DrawGappedPolyline(plat::DC& dc, const TPoint2D* points, const std::uint8_t* flags, int last, int mode);

  // ---- the cutting plane of the 3D windows ----
  // The unit normal of the plane through the three points; false, with the
  // plane unchanged, when they give none.
  bool SetPlaneFromPoints(const TPoint3D& p1, const TPoint3D& p2, const TPoint3D& p3);
  // a x + b y + c z - d: its sign tells the side of the plane.
  long double PlaneSide(const TPoint3D& p) const { return PlaneA * p.x + PlaneB * p.y + PlaneC * p.z - PlaneD; }

  // ---- command handlers ----
  void CmToggleAxes() { ToggleAxes(); }
  void CmToggleOpaqueLabels();
  void CmZoomFactor();
  void CmPanShare();
  void CmPanLeft() { PanView(-PanShare, 0); }
  void CmPanRight() { PanView(PanShare, 0); }
  void CmPanDown() { PanView(0, -PanShare); }
  void CmPanUp() { PanView(0, PanShare); }
  void CmAxisDisplayWidth();
  void CmAxisPrintWidth();
  void CmGridDisplayWidth();
  void CmGridPrintWidth();
  void CmAxisLabels();
  void CmFilledArrowHeads() { ToggleFilledArrowHeads(); }
  void CmMinusSign();
  void CmPiCharacter();
  // Asks for a whole number in the one-value dialog; true when a new value
  // (not negative, not the old one) was stored.
  bool InputThickness(std::int16_t& value, int promptId);

  // ---- fields ----
  long double ZoomFactor = 1.01L;
  long double PanShare = 0.01L;
  // The corners last asked of SetLogView, in data units.
  TSegment2D LogViewRequest{0.01L, 100.0L, 0.01L, 100.0L};
  std::int16_t MarkerSizeCode = 2;
  std::int32_t MarkerHalfSize = 2;
  std::uint8_t OpaqueLabels = 1;
  std::uint8_t LongHyphen = 0;
  std::int16_t LongHyphenChar = 150;  // en dash
  long double PlaneA = 0;
  long double PlaneB = 0;
  long double PlaneC = 0;
  long double PlaneD = 0;

 protected:
  // Marks the plot for a full redraw and invalidates the client area
  // without erasing; with setModified also sets the modified flag.
  void RedrawAfterViewChange(bool setModified);

 private:
  void CeExportPictexForward(plat::CommandEnabler& ce) { CeExportPictex(ce); }
  void CeExportEpsForward(plat::CommandEnabler& ce) { CeExportEps(ce); }
  void CeExportSvgForward(plat::CommandEnabler& ce) { CeExportSvg(ce); }
  void CmExportPictex() { ExportPictex(); }
  void CmExportEps() { ExportEps(); }
  void CmExportSvg() { ExportSvg(); }
  bool AskNumber(int promptId, std::string& text, long double& value);
};

}  // namespace kv
