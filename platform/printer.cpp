#include "platform/printer.h"

#include <QIODevice>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

#include "core/binary_stream.h"
#include "platform/bitmap.h"
#include "platform/bitmap_impl.h"
#include "platform/common_dialogs.h"
#include "platform/testing_impl.h"
#include "platform/ui_log.h"
#include "platform/window.h"
#include "platform/window_impl.h"

namespace plat {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QWidget* WidgetOf(Window* w) { return w && w->impl() && w->impl()->frame ? w->impl()->frame->window() : nullptr; }

constexpr int kDefaultDpi = 300;
// A page bitmap at more than this would take hundreds of megabytes.
constexpr int kMaxDpi = 600;
// A printout that never ends its pages stops here.
constexpr int kMaxPages = 10000;

// Draws the printout's pages, each through a DC on a bitmap at the
// device's resolution whose origin is the printable area's corner, until the
// printout has no more or aborts; `grey` puts them on the page in shades of
// grey.  False when the device could not take a new page.
bool DrawPages(QPagedPaintDevice& device, QPainter& painter, Printout& printout, const QRect& paper,
               const QRect& printable, const DeviceCaps& caps, bool grey) {
  // The page is one picture; a lossy image would blur lines and text.
  painter.setRenderHint(QPainter::LosslessImageRendering);
  for (int page = 1; page <= kMaxPages && printout.HasPage(page); ++page) {
    Bitmap sheet(std::max(printable.width(), 1), std::max(printable.height(), 1), Rgb(255, 255, 255));
    {
      BitmapDC dc(sheet);
      dc.SetCaps(caps);
      printout.PrintPage(page, dc);
    }
    if (printout.Aborted()) break;
    if (page > 1 && !device.newPage()) return false;
    const QImage& image = ImageOf(sheet);
    painter.drawImage(QPoint(printable.left() - paper.left(), printable.top() - paper.top()),
                      grey ? image.convertToFormat(QImage::Format_Grayscale8) : image);
  }
  return true;
}

// The open file a PDF is written into: every write goes whole to the file
// descriptor or the device remembers that one failed.  A partial write (the
// file-size limit) would otherwise cut the file short without an error: the
// PDF writer stops at the first write that falls short and reports nothing.
class FileOutput : public QIODevice {
 public:
  explicit FileOutput(int fd) : fd_(fd) {}
  bool Failed() const { return failed_; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 n) override {
    if (failed_ || !kv::WriteAll(fd_, data, static_cast<std::size_t>(n))) {
      failed_ = true;
      return -1;
    }
    return n;
  }

 private:
  int fd_;
  bool failed_ = false;
};

}  // namespace

struct Printer::Impl {
  std::unique_ptr<QPrinter> printer;
  int dpi = kDefaultDpi;

  QPrinter& P() {
    if (!printer) {
      printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
      if (!Printer::HasSystemPrinter()) printer->setOutputFormat(QPrinter::PdfFormat);
      printer->setFullPage(true);
      printer->setResolution(dpi);
    }
    return *printer;
  }

  bool IsPdf() { return P().outputFormat() == QPrinter::PdfFormat; }

  // Paper and printable area in device pixels; a PDF page is printable to
  // its edges.
  void Areas(QRect& paper, QRect& printable) {
    QPrinter& p = P();
    const QPageLayout layout = p.pageLayout();
    paper = layout.fullRectPixels(dpi);
    printable = IsPdf() ? paper : layout.paintRectPixels(dpi);
    if (printable.isEmpty()) printable = paper;
  }

  DeviceCaps Caps() {
    QRect paper, printable;
    Areas(paper, printable);
    DeviceCaps c;
    c.logPixelsX = dpi;
    c.logPixelsY = dpi;
    c.horzRes = printable.width();
    c.vertRes = printable.height();
    c.horzSizeMm = static_cast<int>(std::lround(printable.width() * 25.4 / dpi));
    c.vertSizeMm = static_cast<int>(std::lround(printable.height() * 25.4 / dpi));
    c.physicalWidth = paper.width();
    c.physicalHeight = paper.height();
    c.physicalOffsetX = printable.left() - paper.left();
    c.physicalOffsetY = printable.top() - paper.top();
    c.bitsPixel = 24;
    c.rasterCaps = 0;
    return c;
  }
};

Printer::Printer() : impl_(std::make_unique<Impl>()) {}
Printer::~Printer() = default;

bool Printer::HasSystemPrinter() {
  if (testing::TestingMode()) return false;
  return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void Printer::SetOutputFile(const std::string& path) {
  QPrinter& p = impl_->P();
  if (path.empty()) {
    p.setOutputFileName(QString());
    p.setOutputFormat(HasSystemPrinter() ? QPrinter::NativeFormat : QPrinter::PdfFormat);
  } else {
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(Q(path));
  }
  p.setFullPage(true);
  p.setResolution(impl_->dpi);
}

std::string Printer::OutputFile() const { return impl_->P().outputFileName().toStdString(); }

std::string Printer::Name() const { return impl_->IsPdf() ? std::string() : impl_->P().printerName().toStdString(); }

void Printer::SetResolution(int dpi) {
  impl_->dpi = std::clamp(dpi, 24, kMaxDpi);
  impl_->P().setResolution(impl_->dpi);
}

int Printer::Resolution() const { return impl_->dpi; }

DeviceCaps Printer::PageCaps() const { return impl_->Caps(); }

bool Printer::Setup(Window* owner) {
  if (testing::TestingMode()) {
    testing::internal::LogDialog("PRINTERSETUP");
    bool ok = false;
    return testing::internal::PopPrinterSetupAnswer(ok) && ok;
  }
  QPageSetupDialog dlg(&impl_->P(), WidgetOf(owner));
  NameToolkitDialog(&dlg, "PRINTERSETUP");
  const bool ok = RunModal(dlg) == QDialog::Accepted;
  impl_->P().setResolution(impl_->dpi);
  return ok;
}

PrintResult Printer::Print(Window* owner, Printout& printout, bool withDialog) {
  QPrinter& p = impl_->P();
  // The PDF file the page goes into is named in the program's own save
  // dialog (the last one printed into, or one after the printout's title),
  // and nothing opens it before the save's rules have judged it.  In place
  // of the print dialog it asks before a file is replaced, as that did.
  // In testing mode the print dialog's answer is what the user types into
  // that save dialog.
  auto choosePdf = [&](bool confirmOverwrite) {
    FileDialogRequest req;
    req.save = true;
    req.filter = "PDF (*.pdf)|*.pdf|";
    req.defaultExtension = "pdf";
    req.confirmOverwrite = confirmOverwrite;
    req.initialName = !p.outputFileName().isEmpty() ? p.outputFileName().toStdString()
                      : printout.Title().empty()   ? std::string("Ausdruck.pdf")
                                                   : printout.Title() + ".pdf";
    std::optional<std::string> chosen;
    if (withDialog && testing::TestingMode()) {
      testing::internal::RecordFileRequest(req);
      testing::internal::LogDialog("PRINTDIALOG");
      if (!testing::internal::PopPrintAnswer(chosen)) chosen.reset();
    } else {
      chosen = FileDialog(owner, req);
    }
    if (chosen) SetOutputFile(*chosen);
    return chosen.has_value();
  };
  if (withDialog) {
    if (!testing::TestingMode() && HasSystemPrinter()) {
      // The toolkit's dialog chooses only the printer and its options: its
      // own choice of a file would open that file for appending as soon as
      // it is accepted, before any rule could judge it (a FIFO there would
      // hold the program until someone reads it).
      QPrintDialog dlg(&p, WidgetOf(owner));
      NameToolkitDialog(&dlg, "PRINTDIALOG");
      const Printout::PageRange range = printout.GetDialogInfo();
      if (range.maxPage > 0) {
        dlg.setMinMax(range.minPage, range.maxPage);
        p.setFromTo(range.fromPage, range.toPage);
      } else {
        dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
      }
      dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
      dlg.setOption(QAbstractPrintDialog::PrintToFile, false);
      if (RunModal(dlg) != QDialog::Accepted) return PrintResult::Cancelled;
      SetOutputFile("");
    } else if (!choosePdf(true)) {
      // No printer: the dialog would offer nothing but a file.
      return PrintResult::Cancelled;
    }
  } else if (impl_->IsPdf() && p.outputFileName().isEmpty()) {
    // No printer: the page goes into a PDF file the user names.
    if (!choosePdf(false)) return PrintResult::Cancelled;
  }
  p.setFullPage(true);
  p.setResolution(impl_->dpi);
  p.setDocName(Q(printout.Title()));

  QRect paper, printable;
  impl_->Areas(paper, printable);
  const DeviceCaps caps = impl_->Caps();
  if (!impl_->IsPdf() || p.outputFileName().isEmpty()) {
    QPainter painter;
    if (!painter.begin(&p)) return PrintResult::Failed;
    if (!DrawPages(p, painter, printout, paper, printable, caps, false)) {
      painter.end();
      return PrintResult::Failed;
    }
    if (printout.Aborted()) {
      p.abort();
      painter.end();
      return PrintResult::Aborted;
    }
    const bool ended = painter.end();
    return ended && p.printerState() != QPrinter::Error ? PrintResult::Printed : PrintResult::Failed;
  }

  // A PDF file is saved as any file of the program is: the writer streams
  // into the save's temporary, never into the name itself, so that a link
  // there is treated by the save's rules and a failed or aborted job leaves
  // the file that was there as it was.
  const bool grey = p.colorMode() == QPrinter::GrayScale;
  const bool saved = kv::WriteFileAtomicallyWith(p.outputFileName().toStdString(), [&](int fd) {
    FileOutput file(fd);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    QPdfWriter pdf(&file);
    pdf.setPdfVersion(p.pdfVersion());
    pdf.setTitle(p.docName());
    if (!p.creator().isEmpty()) pdf.setCreator(p.creator());
    pdf.setResolution(impl_->dpi);
    pdf.setPageLayout(p.pageLayout());
    QPainter painter;
    if (!painter.begin(&pdf)) return false;
    bool ok = DrawPages(pdf, painter, printout, paper, printable, caps, grey);
    ok = painter.end() && ok;
    return ok && !file.Failed() && !printout.Aborted();
  });
  if (printout.Aborted()) return PrintResult::Aborted;
  return saved ? PrintResult::Printed : PrintResult::Failed;
}

}  // namespace plat
