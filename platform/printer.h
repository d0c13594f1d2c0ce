// Printing.  A Printer is a window's choice of printer and paper; Print()
// runs a Printout page by page.  Each page is drawn through an ordinary DC
// (the drawing rules of the screen) into a bitmap at the printer's
// resolution whose origin is the printable area's corner; the DC reports
// the printer's capabilities (resolution, printable size, physical offsets).
//
// Where no printer is installed the page goes into a PDF file named in the
// program's own save dialog, saved as every file of the program is
// (kv::WriteFileAtomicallyWith): streamed into a temporary beside it and
// renamed into place, by the save's rules.  The toolkit's print dialog
// chooses only among the printers and their options.  In tests every
// printer writes a PDF: the dialogs are answered through plat::testing.
#pragma once

#include <memory>
#include <string>

#include "platform/dc.h"

namespace plat {

class Window;

class Printout {
 public:
  explicit Printout(std::string title) : title_(std::move(title)) {}
  virtual ~Printout() = default;
  Printout(const Printout&) = delete;
  Printout& operator=(const Printout&) = delete;

  const std::string& Title() const { return title_; }

  // The page range the print dialog offers; all 0 offers none.
  struct PageRange {
    int minPage = 0;
    int maxPage = 0;
    int fromPage = 0;
    int toPage = 0;
  };
  virtual PageRange GetDialogInfo() { return {}; }
  // Whether page `page` (counted from 1) exists.
  virtual bool HasPage(int page) { return page == 1; }
  virtual void PrintPage(int page, DC& dc) = 0;

  // Ends the job at once: nothing of it is printed.
  void AbortDoc() { aborted_ = true; }
  bool Aborted() const { return aborted_; }

 private:
  std::string title_;
  bool aborted_ = false;
};

enum class PrintResult {
  Printed,
  Cancelled,  // the user cancelled a dialog
  Failed,     // the printer or the file could not take the job
  Aborted,    // the printout aborted it
};

class Printer {
 public:
  Printer();
  ~Printer();
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;

  // Prints every page the printout has, after the print dialog when asked
  // (without a printer the save dialog for the PDF file stands in for it).
  // Without the dialog and without a printer or output file, the user is
  // asked for a PDF file.
  PrintResult Print(Window* owner, Printout& printout, bool withDialog);
  // The printer set-up dialog (printer, paper, orientation); false when
  // cancelled.
  bool Setup(Window* owner);

  // Prints into this PDF file from now on ("" returns to the printer).
  void SetOutputFile(const std::string& path);
  std::string OutputFile() const;
  // The printer's name, or "" when the output is a PDF file.
  std::string Name() const;
  // Resolution of the pages drawn (dots per inch), 300 unless set.
  void SetResolution(int dpi);
  int Resolution() const;
  // The capabilities a page DC reports.
  DeviceCaps PageCaps() const;

  // Whether the desktop has a printer at all.
  static bool HasSystemPrinter();

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace plat
