// The printout of a plot window: one page with the plot at the print
// area's width and margins, the same aspect ratio as on the screen; for a
// simultaneous print each chosen file is loaded and drawn on the same page.
#pragma once

#include <string>
#include <vector>

#include "platform/printer.h"

namespace kv {

class TZORWin;

class TZORPrintout : public plat::Printout {
 public:
  TZORPrintout(const std::string& title, TZORWin* window) : plat::Printout(title), window_(window) {}
  void PrintPage(int page, plat::DC& dc) override;

  // Files of a simultaneous print that could not be read (another window
  // kind's, damaged or gone); they are left out.
  std::vector<std::string> Skipped;

 private:
  TZORWin* window_;
};

}  // namespace kv
