// The program's random numbers as the random source the 3D tools' units
// take (level-curve starts, stereogram dots); tests hand them a seeded one.
#pragma once

#include "core/random_source.h"
#include "platform/app.h"

namespace kv {

class TWindowRandom : public TRandomSource {
 public:
  int Next() override { return plat::Rand(); }
};

}  // namespace kv
