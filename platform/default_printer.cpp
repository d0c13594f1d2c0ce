#include "platform/default_printer.h"

#include <QGuiApplication>
#include <QObject>
#include <QPrinterInfo>
#include <algorithm>
#include <vector>

#include "platform/testing.h"

namespace plat {

namespace {

std::optional<std::string>& TestingName() {
  static std::optional<std::string> name;
  return name;
}

std::vector<DefaultPrinterWatch*>& Watches() {
  static std::vector<DefaultPrinterWatch*> watches;
  return watches;
}

// One connection for all watches, made with the first of them.
void ConnectActivation() {
  static bool connected = false;
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (connected || !app) return;
  connected = true;
  QObject::connect(app, &QGuiApplication::applicationStateChanged, app, [](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) ApplicationActivated();
  });
}

}  // namespace

std::string DefaultPrinterName() {
  if (TestingName()) return *TestingName();
  // Tests never see the machine's printers.
  if (testing::TestingMode()) return {};
  return QPrinterInfo::defaultPrinterName().toStdString();
}

DefaultPrinterWatch::DefaultPrinterWatch(std::function<void()> changed)
    : changed_(std::move(changed)), seen_(DefaultPrinterName()) {
  Watches().push_back(this);
  ConnectActivation();
}

DefaultPrinterWatch::~DefaultPrinterWatch() {
  auto& w = Watches();
  w.erase(std::remove(w.begin(), w.end(), this), w.end());
}

bool DefaultPrinterWatch::Check() {
  std::string now = DefaultPrinterName();
  if (now == seen_) return false;
  seen_ = std::move(now);
  if (changed_) changed_();
  return true;
}

void ApplicationActivated() {
  // A watch's reaction may end its owner: check a copy, and only those
  // still there.
  const std::vector<DefaultPrinterWatch*> all = Watches();
  for (DefaultPrinterWatch* w : all)
    if (std::find(Watches().begin(), Watches().end(), w) != Watches().end()) w->Check();
}

namespace testing {
void SetDefaultPrinterName(std::optional<std::string> name) { TestingName() = std::move(name); }
}  // namespace testing

}  // namespace plat
