// The program's own random generator as the random source that the models
// of the plot windows take (planet starts, quiz tasks, level-curve starts,
// stereogram dots); tests hand the models a seeded source instead.
#pragma once

#include "core/random_source.h"
#include "platform/app.h"

namespace kv {

class TProgramRandom : public TRandomSource {
 public:
  int Next() override { return plat::Rand(); }
};

}  // namespace kv
