// The folders the program keeps its own files in: the settings folder and
// the private folder among the temporary files.  A folder is trusted only
// where no other user can reach into it, and the settings folder is judged
// once and then kept open, so that what was judged is what is written.
#pragma once

#include <string>

namespace plat {

// The settings folder: $KURVATO_HOME, else $XDG_CONFIG_HOME/kurvato/, else
// $HOME/.config/kurvato/, else the same in the home folder of the user's
// password entry; made with mode 0700.  When that folder is not one of the
// user's own (see FolderOfUsersOwn; one line on stderr says why), or when
// none is named, the private temporary folder in $TMPDIR, else in /tmp;
// when none of them can be had, one line on stderr says so and nothing is
// read or written ("/dev/null/").
//
// The folder is chosen, judged and opened once per process and kept open.
// The path returned reaches that open folder itself ("/proc/self/fd/<n>/"),
// so every file read, written, locked or bound as a socket there lands in the
// folder that was judged, even when the folder is moved away later or
// another put in its place.  Always ends with '/'.
std::string SettingsDirectory();
// The settings folder by the name it was chosen and judged under (ends with
// '/'), "" when there is none: for the name of the hand-off socket in a
// shared folder, which every start of the user must find alike.
std::string SettingsFolderName();
// The settings folder itself, whatever name it was reached by (a link, a
// doubled or trailing slash): its device and inode as "<dev>:<ino>", ""
// when there is none.  Every start that shares the folder (and its lock)
// gets the same.
std::string SettingsFolderIdentity();
// The same choice from the given values (the variables, null when unset;
// the password entry's home, "" when there is none; the temporary folder):
// the folder's name, "/dev/null/" when there is none.  Makes the folder.
std::string ChooseSettingsDirectory(const char* kurvatoHome, const char* xdgConfigHome, const char* home,
                                    const std::string& passwordHome, const std::string& tempFolder);
// Whether the folder (or the folder a link of the user's own leads to) belongs
// to the user, nobody else may write into it, and nobody else can move it
// away or put another in its place: every folder the path leads through up
// to the root, where each link met on the way leads included (also the links
// met while resolving a link), belongs to the user or to root and nobody else
// may write into it unless it is sticky, and every such link is the user's
// or root's.
bool FolderOfUsersOwn(const std::string& path);
// The user's private folder among the temporary files in `base` (a folder
// that FolderOfUsersOwn would trust to lie in): "kurvato-<uid>", or when
// that name is taken by anything but such a folder, the first of
// "kurvato-<uid>-1" to "-9" that is one or can be made one (mode 0700).
// Every start of the user finds the same one: one made earlier comes first.
// Ends with '/'; "" when there is none.
std::string PrivateTemporaryFolder(const std::string& base);

}  // namespace plat
