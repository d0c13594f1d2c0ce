#include "shell/print_result.h"

#include "shell/file_msg_win.h"

namespace kv {

bool ReportPrintResult(plat::Window* owner, plat::PrintResult result) {
  switch (result) {
    case plat::PrintResult::Printed: return true;
    // The user who cancelled the dialog knows it: nothing is said.
    case plat::PrintResult::Cancelled: break;
    case plat::PrintResult::Failed: ShowMessageById(owner, 31); break;
    case plat::PrintResult::Aborted: ShowMessageById(owner, 32); break;
  }
  return false;
}

}  // namespace kv
