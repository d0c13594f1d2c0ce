// The export commands and runs of the graphics layer: the file and set-up
// dialogs, the sinks' begin and end, the page background and the screen
// side of the gapped polylines.  A bare graphics window exports nothing:
// the plot windows override the three export operations with a run.
#include <optional>

#include "graphics/export_dialogs.h"
#include "graphics/export_sinks.h"
#include "graphics/export_text.h"
#include "graphics/gapped_polyline.h"
#include "graphics/zor_wing.h"
#include "platform/bitmap.h"
#include "platform/common_dialogs.h"
#include "platform/resources.h"

namespace kv {

namespace {

// String 29 "Unbenannt" + "." + extension proposed in the save dialog of
// the filter string; the chosen name once the user agreed to replace an
// existing file.
std::optional<std::string> AskExportFile(TZORWing& w, int filterId, const std::string& ext) {
  plat::FileDialogRequest r;
  r.save = true;
  r.filter = plat::res::String(filterId);
  r.defaultExtension = ext;
  r.initialName = plat::res::String(29) + "." + ext;
  std::optional<std::string> path = plat::FileDialog(&w, r);
  if (!path || path->empty()) return std::nullopt;
  if (!w.ConfirmOverwrite(*path)) return std::nullopt;
  return path;
}


// Puts the writer's text into the window's open file and writes it; the
// result of the write.
bool FinishFile(TZORWing& w, const std::string& text) {
  if (ByteWriter* out = w.Out()) out->Bytes(text.data(), text.size());
  return w.CloseFile();
}

// "Erfolg" with the format's text, or message 12 when the file could not
// be written: a failed export is never reported as a success.
void Report(TZORWing& w, bool written, int successId) {
  if (written) {
    plat::MessageBox(&w, plat::res::String(successId), plat::res::String(88));
  } else {
    w.ShowMessageById(12);
  }
}

}  // namespace

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

TExportText TZORWing::SlotText(const std::string& text, plat::Point anchor, const TPoint2D& world,
                               plat::Colour colour, int fontSlot, int hAlign, int vAlign) const {
  TExportText t;
  t.text = text;
  t.anchor = anchor;
  t.world = world;
  t.colour = colour;
  const std::size_t slot = (fontSlot >= 0 && fontSlot < kFontSlotCount) ? static_cast<std::size_t>(fontSlot) : 0;
  t.font = FontSlots[slot];
  t.pointSize = FontPointSizes[slot];
  t.hAlign = hAlign;
  t.vAlign = vAlign;
  return t;
}

// ---- runs ----

void TZORWing::RunExport(TExportFormat format, const std::function<void(plat::DC&)>& draw) {
  if (Recording()) return;
  bool begun = false;
  switch (format) {
    case TExportFormat::Eps:
      begun = BeginEpsFile();
      break;
    case TExportFormat::Svg:
      begun = BeginSvgFile();
      break;
    case TExportFormat::Pictex:
      begun = BeginPictexFile();
      break;
  }
  if (!begun) return;
  switch (format) {
    case TExportFormat::Eps:
      EpsFlag = 1;
      break;
    case TExportFormat::Svg:
      SvgFlag = 1;
      break;
    case TExportFormat::Pictex:
      PictexFlag = 1;
      WritePictexShadeSymbol();
      break;
  }
  // The drawing goes to a surface of the client's size: the screen keeps
  // its picture, and routines that look at pixels see a fresh background.
  plat::Bitmap surface(ClientWidth > 0 ? ClientWidth : 1, ClientHeight > 0 ? ClientHeight : 1);
  {
    plat::BitmapDC dc(surface);
    dc.SetCaps(plat::ScreenCaps());
    if (format != TExportFormat::Pictex) WritePageBackground();
    PaintBackground(dc);
    draw(dc);
  }
  switch (format) {
    case TExportFormat::Eps:
      EndEpsFile();
      break;
    case TExportFormat::Svg:
      EndSvgFile();
      break;
    case TExportFormat::Pictex:
      EndPictexFile();
      break;
  }
}

// ---- opening and closing the file ----

bool TZORWing::OpenExportFile(TExportFormat format, const std::string& path, const TExportOptions& o) {
  if (!OpenForWriting(path)) {
    ShowMessageById(12);  // "Datei ist nicht zu speichern"
    return false;
  }
  switch (format) {
    case TExportFormat::Eps: {
      auto sink = std::make_unique<TEpsSink>(*this);
      TEpsPageSetup setup;
      setup.clientWidth = ClientWidth;
      setup.clientHeight = ClientHeight;
      setup.pixelsPerInch = plat::ScreenCaps().logPixelsX;
      setup.world = World;
      setup.unitsPerPixelX = UnitsPerPixelX;
      sink->Writer().SetupPage(setup);
      std::string title;
      GetFileNamePart(title, FileData.FileName);
      sink->Writer().WriteHeader(EpsCreator, title, GermanLongDate(plat::Now()));
      Sink = std::move(sink);
      return true;
    }
    case TExportFormat::Svg: {
      auto sink = std::make_unique<TSvgSink>(*this);
      sink->Writer().SetClientSize(ClientWidth, ClientHeight);
      sink->Writer().WriteHeader(o.svgWidth > 0 ? o.svgWidth : ClientWidth, o.svgHeight > 0 ? o.svgHeight : ClientHeight,
                                 SvgCreator);
      Sink = std::move(sink);
      return true;
    }
    case TExportFormat::Pictex: {
      auto sink = std::make_unique<TPictexSink>(*this);
      TPictexSetup setup;
      setup.mode = o.pictexMode;
      setup.boxNumber = o.pictexBox;
      setup.widthCm = o.pictexWidthCm;
      setup.decimals = Decimals;
      setup.world = World;
      setup.clientWidth = ClientWidth;
      setup.clientHeight = ClientHeight;
      setup.unitsPerPixelX = UnitsPerPixelX;
      setup.arrowBeta = ArrowShapeBeta;
      setup.arrowGamma = ArrowWidthRatio;
      const bool exact = sink->Writer().WritePreamble(setup);
      Sink = std::move(sink);
      if (!exact) ShowMessageById(6);  // "widersprüchliche Daten": written anyway
      return true;
    }
  }
  return false;
}

bool TZORWing::CloseExportFile() {
  bool written = false;
  if (auto* eps = dynamic_cast<TEpsSink*>(Sink.get())) {
    eps->Writer().WriteTrailer();
    written = FinishFile(*this, eps->Writer().Text());
  } else if (auto* svg = dynamic_cast<TSvgSink*>(Sink.get())) {
    svg->Writer().WriteTrailer();
    written = FinishFile(*this, svg->Writer().Text());
  } else if (auto* tex = dynamic_cast<TPictexSink*>(Sink.get())) {
    tex->Writer().WriteEnd();
    written = FinishFile(*this, tex->Writer().Text());
  } else {
    AbandonFile();
  }
  PictexFlag = SvgFlag = EpsFlag = 0;
  Sink.reset();
  return written;
}

// ---- EPS ----

bool TZORWing::BeginEpsFile() {
  const std::optional<std::string> path = AskExportFile(*this, 96, "eps");
  return path && OpenExportFile(TExportFormat::Eps, *path, {});
}

void TZORWing::EndEpsFile() { Report(*this, CloseExportFile(), 91); }

// ---- SVG ----

bool TZORWing::BeginSvgFile() {
  const std::optional<std::string> path = AskExportFile(*this, 97, "svg");
  if (!path) return false;
  TExportOptions o;
  o.svgWidth = ClientWidth;
  o.svgHeight = ClientHeight;
  TSVGDlg dlg(this, o.svgWidth, o.svgHeight);
  if (dlg.Execute() != plat::IDOK) return false;
  return OpenExportFile(TExportFormat::Svg, *path, o);
}

void TZORWing::EndSvgFile() { Report(*this, CloseExportFile(), 92); }

// ---- PiCTeX ----

bool TZORWing::BeginPictexFile() {
  const std::optional<std::string> path = AskExportFile(*this, 98, "tex");
  if (!path) return false;
  // The dialog works on the window's mode and width, so the next export
  // shows what was typed last, accepted or not.
  TExportOptions o;
  o.pictexMode = PictexMode;
  o.pictexBox = 1;  // every export starts at box 1
  long double space = -0.75L;  // no space distance: the field stays hidden
  TTeXDlg dlg(this, o.pictexMode, o.pictexBox, PictexWidthCm, space);
  const int result = dlg.Execute();
  PictexMode = static_cast<std::int16_t>(o.pictexMode);
  if (result != plat::IDOK) return false;
  o.pictexWidthCm = PictexWidthCm;
  return OpenExportFile(TExportFormat::Pictex, *path, o);
}

void TZORWing::WritePictexShadeSymbol() {
  if (auto* sink = dynamic_cast<TPictexSink*>(Sink.get())) sink->Writer().WritePictexShadeSymbol();
}

void TZORWing::EndPictexFile() {
  const auto* tex = dynamic_cast<const TPictexSink*>(Sink.get());
  const int leftOut = tex ? tex->LeftOutFills() : 0;
  const bool written = CloseExportFile();
  // A file without the filled areas the screen shows is no plain success.
  if (written && leftOut > 0) {
    ShowMessageById(33);  // "PiCTeX Datei ohne gefüllte Flächen gespeichert"
    return;
  }
  Report(*this, written, 89);
}

// ---- shared ----

void TZORWing::WritePageBackground() {
  const int lineWidth = PrintDrawFrame ? 1 : -1;
  const plat::Colour fill = GetColour(ColourSlots[0]);
  const plat::Colour stroke = GetColour(0);
  if (SvgFlag) {
    if (auto* sink = dynamic_cast<TSvgSink*>(Sink.get()))
      sink->Writer().WriteSvgRect(0, 0, ClientWidth, ClientHeight, false, fill, lineWidth, stroke, 0, 0);
  }
  if (EpsFlag) {
    if (auto* sink = dynamic_cast<TEpsSink*>(Sink.get()))
      sink->Writer().WriteEpsRoundRect({World.xmin, World.ymax + UnitsPerPixelY},
                                       {World.xmax + UnitsPerPixelX, World.ymin}, false, fill, lineWidth, stroke, 0);
  }
}

void TZORWing::DrawGappedPolyline(plat::DC& dc, const TPoint2D* points, const std::uint8_t* flags, int last,
                                  int mode) {
  if (last < 1) return;
  std::vector<std::int32_t> runs;
  BreakRuns(runs, flags, last);
  for (int i = 1; i <= last; ++i)
    if (GappedSegmentDrawn(runs, i, mode)) DrawWorldLine(dc, points[i - 1], points[i], false);
}

}  // namespace kv
