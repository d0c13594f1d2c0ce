// Program start: the single-instance hand-off and the application object.
#pragma once

#include <string>

namespace plat {
class App;
}

namespace kv {

// The program's main function: joins the arguments into one file name, hands
// it to a running instance when there is one (and returns 0), otherwise runs
// the application with the main frame and returns the loop's result.
int OwlMain(int argc, char** argv);

// The name a second start hands to the running instance, which has a
// working folder of its own: a relative file name made absolute against
// `workingFolder` (this start's), whole, however long.  An empty or
// one-character text opens nothing and goes as it is; with no working
// folder known, a relative name goes as nothing, so that the running
// instance never opens another file of the same name.
std::string HandOffName(const std::string& joined, const std::string& workingFolder);

// The application: its main window is the frame "Kurvato".
class TPlot {
 public:
  explicit TPlot(plat::App& app) : app_(app) {}
  // Makes the main window and runs the event loop.
  int Run();

 private:
  void InitMainWindow();
  plat::App& app_;
  class TPlotFrame* frame_ = nullptr;
};

}  // namespace kv
