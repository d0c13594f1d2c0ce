// Headless test environment shared by all test binaries.
#pragma once

#include <string>

namespace kvtest {

// Creates the application object (offscreen), switches the platform into
// testing mode with fixed screen metrics (1024 x 768, 96 dpi), a fixed seed
// and a temporary settings folder, and registers the listener that turns
// unmet dialog expectations into test failures.
void InstallEnvironment(int argc, char** argv);

// Ends the application object before static destruction begins.
void Shutdown();

// A fresh empty folder below the test run's temporary root, ending in '/'.
std::string MakeTempDir(const std::string& name);

// The settings folder of the run ($KURVATO_HOME), emptied.
void ClearSettingsFolder();

}  // namespace kvtest
