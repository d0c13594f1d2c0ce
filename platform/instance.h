// One running instance per user and settings folder.  A second start hands
// its file name to the running instance over a local socket and exits.
//
// The running instance holds a lock on a file in the settings folder from
// its start to its end (the system lets go of it when the process ends,
// however it ends).  The socket lives in a folder only the user may write
// into, and a start hands its text only to a socket of its own user.  So a start always knows whether an instance lives: a
// socket is removed only by the holder of the lock, and a start that finds
// the lock held never becomes a second instance, however long the running
// one takes to answer.
#pragma once

#include <functional>
#include <string>

namespace plat {

enum class StartRole {
  Instance,   // no instance ran: this process is it now (it holds the lock)
  HandedOff,  // the running instance took the text
  NoAnswer,   // an instance runs but did not take the text in time
  Alone,      // an instance runs that no socket reaches: this process runs by itself, without the lock
};

// Decides a start's role: the instance when none runs, else the text goes
// to the running instance, and this returns once the instance has handled
// it (opened the file).  While the instance is busy or still starting, this
// waits and asks again, for up to `patienceMs`, and `onWaiting` runs once
// when the text has not been taken half a second after the start.  When the
// running instance ends meanwhile, this start takes its place.  When an
// instance runs but no socket can be had (see HandOffSocketPath), when the
// instance says that it cannot listen, or when no socket of the user's came
// in all the patience, nothing could reach it and the text would be lost:
// this start runs by itself and takes it.  An instance whose socket is there
// but that does not take the text in time is busy: NoAnswer.  The socket is
// where the instance's lock says, else where this process would listen.
StartRole BecomeInstanceOrHandOff(const std::string& text, int patienceMs = 60000,
                                  std::function<void()> onWaiting = nullptr);

// One attempt: sends `text` to a running instance and waits until it has
// handled it (or until the timeout).  True when a running instance took it.
bool HandOffToRunningInstance(const std::string& text, int timeoutMs = 4000);

// Makes this process the running instance (taking the lock when it does not
// hold it yet): `receiver` runs on the event loop for every text a later
// start hands over, once no work of the program's own runs; the sender waits
// until it has returned.  False when another
// process holds the lock, or when the socket cannot be made yet (then it is
// tried again every half second).  When no folder can hold a socket at all,
// or when listening fails twice in a row (something that is not a socket at
// the socket's name, which stays as it is), one line on stderr says so, and
// the lock file tells later starts to open their files themselves until
// listening succeeds.  While it listens, the lock file says where.
bool ListenForHandOffs(std::function<void(const std::string&)> receiver);
// Closes the socket and lets go of the lock.
void StopListeningForHandOffs();

// Where the running instance listens: in $XDG_RUNTIME_DIR when that is a
// folder of the user's own, else "kurvato.socket" in the settings folder
// (beside "kurvato.lock") when it is one, else the private temporary folder
// (PrivateTemporaryFolder) in $TMPDIR or /tmp, which the instance removes
// when it ends if nothing else is left in it; a folder whose path leaves no
// room for a socket's name is passed over.  In the runtime and temporary
// folders the name comes from the settings folder itself
// (SettingsFolderIdentity), not from how its name was written.  Empty when
// none fits.
std::string HandOffSocketPath();

}  // namespace plat
