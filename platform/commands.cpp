#include "platform/commands.h"

namespace plat {

const CommandTable::Entry* CommandTable::FindHandler(int id) const {
  for (const CommandTable* t = this; t; t = t->base_)
    for (const auto& e : t->entries_)
      if (e.handler && id >= e.first && id <= e.last) return &e;
  return nullptr;
}

const CommandTable::Entry* CommandTable::FindEnabler(int id) const {
  for (const CommandTable* t = this; t; t = t->base_)
    for (const auto& e : t->entries_)
      if (e.enabler && id >= e.first && id <= e.last) return &e;
  return nullptr;
}

}  // namespace plat
