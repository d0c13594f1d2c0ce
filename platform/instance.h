// One running instance per user and settings folder.  A second start hands
// its file name to the running instance over a local socket and exits.
#pragma once

#include <functional>
#include <string>

namespace plat {

// Sends `text` to a running instance and waits until it has taken it (or
// until the timeout).  Returns true when a running instance acknowledged;
// false when none runs or it did not answer in time.
bool HandOffToRunningInstance(const std::string& text, int timeoutMs = 4000);

// Makes this process the running instance: `receiver` runs on the event loop
// for every text a later start hands over, after the sender was answered.
bool ListenForHandOffs(std::function<void(const std::string&)> receiver);
void StopListeningForHandOffs();

}  // namespace plat
