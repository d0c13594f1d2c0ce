#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace kvtest {

const std::string& TempRoot() {
  // Never destroyed: the exit handler below still needs it after static
  // destruction has begun.
  static const std::string& root = *new std::string([] {
    std::string base = std::filesystem::temp_directory_path().string() + "/kurvato-test-" + std::to_string(getpid());
    std::filesystem::create_directories(base);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(TempRoot(), ec);
    });
    return base;
  }());
  return root;
}

std::string MakeTempDir(const std::string& name) {
  std::string dir = TempRoot() + "/" + name + "/";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace kvtest
