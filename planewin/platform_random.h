// The program's own random generator as a random source for the plane
// windows' models (tests seed it through the platform's seam).
#pragma once

#include "core/random_source.h"
#include "platform/app.h"

namespace kv {

class TPlatformRandom : public TRandomSource {
 public:
  int Next() override { return plat::Rand(); }
};

}  // namespace kv
