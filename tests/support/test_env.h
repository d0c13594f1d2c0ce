// Headless test environment shared by all test binaries.
#pragma once

#include <string>

#include "support/temp_dir.h"

namespace plat {
class App;
}

namespace kvtest {

// Creates the application object (offscreen), switches the platform into
// testing mode with fixed screen metrics (1024 x 768, 96 dpi), a fixed seed
// and a temporary settings folder, and registers the listener that turns
// unmet dialog expectations into test failures.
void InstallEnvironment(int argc, char** argv);

// The application object (for a test that runs its loop, in a child process).
plat::App& Application();

// Ends the application object before static destruction begins.
void Shutdown();

// The settings folder of the run ($KURVATO_HOME), emptied.
void ClearSettingsFolder();

}  // namespace kvtest
