// Program entry.
#include "app/window_registry.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
  kv::RegisterWindowCreators();
  return kv::OwlMain(argc, argv);
}
