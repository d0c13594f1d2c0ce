#include <QGuiApplication>
#include <QScreen>

#include <cmath>

#include "platform/dc.h"
#include "platform/testing_impl.h"

namespace plat {

DeviceCaps ScreenCaps() {
  if (const DeviceCaps* fixed = testing::internal::FixedScreenCaps()) return *fixed;
  DeviceCaps caps;
  if (QGuiApplication::instance()) {
    if (QScreen* s = QGuiApplication::primaryScreen()) {
      QSize size = s->size();
      caps.horzRes = caps.physicalWidth = size.width();
      caps.vertRes = caps.physicalHeight = size.height();
      caps.logPixelsX = static_cast<int>(std::lround(s->logicalDotsPerInchX()));
      caps.logPixelsY = static_cast<int>(std::lround(s->logicalDotsPerInchY()));
      QSizeF mm = s->physicalSize();
      if (mm.width() > 0 && mm.height() > 0) {
        caps.horzSizeMm = static_cast<int>(std::lround(mm.width()));
        caps.vertSizeMm = static_cast<int>(std::lround(mm.height()));
      } else {
        caps.horzSizeMm = static_cast<int>(std::lround(size.width() * 25.4 / caps.logPixelsX));
        caps.vertSizeMm = static_cast<int>(std::lround(size.height() * 25.4 / caps.logPixelsY));
      }
    }
  }
  return caps;
}

}  // namespace plat
