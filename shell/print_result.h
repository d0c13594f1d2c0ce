// What the user is told when a print job did not print: message 31 when the
// printer or the file could not take it, 32 when the drawing of the page
// failed and the job was aborted.  A job that printed, or whose dialog the
// user cancelled, needs no word.
#pragma once

#include "platform/printer.h"

namespace plat {
class Window;
}

namespace kv {

// True when the job printed.
bool ReportPrintResult(plat::Window* owner, plat::PrintResult result);

}  // namespace kv
