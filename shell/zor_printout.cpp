// Printing of the plot windows: the page, the print command and
// simultaneous printing.
#include "shell/zor_printout.h"

#include <algorithm>
#include <cmath>

#include "platform/common_dialogs.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "shell/generic_dialogs.h"
#include "shell/print_result.h"
#include "shell/zor_win.h"

namespace kv {

namespace {

std::int16_t ToInt16(std::int32_t v) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767));
}

}  // namespace

void TZORPrintout::PrintPage(int page, plat::DC& dc) {
  if (window_) window_->PrintPage(*this, dc, page);
}

void TZORWin::SetPrinterMetrics(int dpiX, int dpiY, int offsetX, int offsetY) {
  PrinterDpiX = dpiX;
  PrinterDpiY = dpiY;
  PrinterOffsetX = offsetX;
  PrinterOffsetY = offsetY;
}

void TZORWin::Print() {
  if (PrinterWatch) PrinterWatch->Check();
  if (!Printer) return;
  // The paper is the background.
  const std::int16_t background = ColourSlots[0];
  ColourSlots[0] = 1;
  std::string title;
  GetFileNamePart(title, FileData.FileName);
  TZORPrintout job(title, this);
  const plat::PrintResult result = Printer->Print(this, job, true);
  ResetClientGeometry();
  ColourSlots[0] = background;
  // The drawing area follows the screen again.
  BuildGreyTables();
  if (IsCreated()) {
    plat::ClientDC dc(*this);
    BlitBackBuffer(0, dc);
  }
  ReportPrintResult(this, result);
  for (const std::string& name : job.Skipped) {
    std::string part;
    GetFileNamePart(part, name);
    ShowMessageById(11, part.c_str());
  }
}

void TZORWin::PrintPage(TZORPrintout& job, plat::DC& dc, int page) {
  if (page < 0) return;
  long double width = GetPrintWidth();
  if (!(width >= 0.25L)) width = 0.25L;
  const plat::DeviceCaps caps = dc.Caps();
  SetPrinterMetrics(caps.logPixelsX, caps.logPixelsY, caps.physicalOffsetX, caps.physicalOffsetY);
  // The screen's client size gives the aspect ratio of a copy; a file
  // printed with others brings its own window size, for which its view
  // was laid out.
  long double screenWidth = ClientWidth > 0 ? ClientWidth : 1;
  long double screenHeight = ClientHeight > 0 ? ClientHeight : 1;
  int drawn = 0;
  for (int i = 0; i < CopyCount && i < kPrintFileCount; ++i) {
    if (SimultaneousPrint) {
      const std::string& name = PrintFiles[static_cast<std::size_t>(i)];
      // A file that cannot be read must not print the previous drawing again.
      if (LoadFileForPrint(name) != 0) {
        job.Skipped.push_back(name);
        continue;
      }
      // The file brought its own background; the paper stays white, as it
      // is for a single print.
      ColourSlots[0] = 1;
      const plat::Rect client = GetClientRect();
      if (client.Width() > 0 && client.Height() > 0) {
        screenWidth = client.Width();
        screenHeight = client.Height();
      }
    }
    Printing = 1;
    OriginX = ToInt16(RoundToInt(PrintLeft * PrinterDpiX) - PrinterOffsetX);
    OriginY = ToInt16(RoundToInt(PrintTop * PrinterDpiY) - PrinterOffsetY);
    ClientWidth = RoundToInt(width * PrinterDpiX);
    ClientHeight = RoundToInt(width * screenHeight / screenWidth * PrinterDpiY);
    BuildGreyTables();
    const bool ok = PrintPlot(dc);
    if (ok) DrawFrame(dc);
    Printing = 0;
    if (!ok) {
      job.AbortDoc();
      return;
    }
    ++drawn;
  }
  // Nothing readable among the files: no empty sheet.
  if (drawn == 0) job.AbortDoc();
}

int TZORWin::LoadFileForPrint(const std::string& name) {
  FileData.FileName = name;
  BeforeReadFile();
  const int code = ReadFile();
  if (IsFileOpen()) AbandonFile();
  // The window takes the file's size and place, still out of sight, so
  // that the drawing has the proportions it was saved with.
  if (code == 0) MoveToFilePlacement();
  Modified = 0;
  InvalidateBackBuffer(PaintBufferIndex);
  return code;
}

void TZORWin::PrintSimultaneous() {
  if (!CanClose()) return;
  const bool hadFile = Named != 0;
  const std::string kept = FileData.FileName;
  std::string text = "2";
  TInpDlg dlg(this, plat::res::String(23), plat::res::String(22), text, 12);
  if (dlg.Execute() != plat::IDOK) return;
  int n = ParseInt(text);
  if (n < 1 || n > kPrintFileCount) {
    ShowMessageById(17);
    return;
  }
  CopyCount = 0;
  while (n > 0 && CopyCount < kPrintFileCount) {
    plat::FileDialogRequest req;
    req.filter = FileData.Filter;
    req.defaultExtension = FileData.DefaultExt;
    req.initialName = FileData.FileName;
    auto chosen = plat::FileDialog(this, req);
    if (!chosen) break;
    PrintFiles[static_cast<std::size_t>(CopyCount)] = *chosen;
    ++CopyCount;
    --n;
  }
  if (CopyCount == 0) return;

  // The window shows each file while it is drawn: keep it out of sight and
  // bring it back where it was, with its own drawing.
  const plat::Rect frame = GetWindowRect();
  Show(plat::SW_HIDE);
  SimultaneousPrint = 1;
  Print();
  for (std::string& name : PrintFiles) name.clear();
  CopyCount = 0;
  // Back to its own size before its file is read again: the drawing is
  // laid out for the size it is shown at.
  MoveWindow(frame.left, frame.top, frame.Width(), frame.Height());
  FileData.FileName = kept;
  if (hadFile) {
    BeforeReadFile();
    ReadFile();
    if (IsFileOpen()) AbandonFile();
  } else {
    NewFile();
    FileData.FileName = kept;
    Named = 0;
  }
  Modified = 0;
  UpdateCaption(false);
  InvalidateBackBuffer(PaintBufferIndex);
  Show(plat::SW_SHOWNOACTIVATE);
  Invalidate(true);
}

}  // namespace kv
