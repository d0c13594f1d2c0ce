// The desktop's default printer (through CUPS, as the toolkit sees it) and
// a watch that notices when it changes while the program runs: the desktop
// sends no message for that, so the watch compares the default printer
// with the one it saw last whenever the program becomes active again and
// whenever its owner asks (before each print).
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace plat {

// The default printer's name; "" when the desktop has none.
std::string DefaultPrinterName();

class DefaultPrinterWatch {
 public:
  // Remembers the default printer now; `changed` runs each time a later
  // check finds another one.
  explicit DefaultPrinterWatch(std::function<void()> changed);
  ~DefaultPrinterWatch();
  DefaultPrinterWatch(const DefaultPrinterWatch&) = delete;
  DefaultPrinterWatch& operator=(const DefaultPrinterWatch&) = delete;

  // Compares the default printer with the one seen last; when it differs,
  // remembers it and runs `changed`.  True when it changed.
  bool Check();

 private:
  std::function<void()> changed_;
  std::string seen_;
};

// Every watch checks: the program became active again.
void ApplicationActivated();

namespace testing {
// Stands in for the desktop's default printer (nullopt: ask the desktop).
void SetDefaultPrinterName(std::optional<std::string> name);
}  // namespace testing

}  // namespace plat
