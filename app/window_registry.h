// Registers the window classes of every kind with the main frame.
#pragma once

namespace kv {

void RegisterWindowCreators();

}  // namespace kv
