// Temporary folders of a test run (no toolkit: the headless binaries use it
// too).
#pragma once

#include <string>

namespace kvtest {

// The run's temporary root (created on first use, removed at exit).
const std::string& TempRoot();

// A fresh empty folder below the run's temporary root, ending in '/'.
std::string MakeTempDir(const std::string& name);

}  // namespace kvtest
