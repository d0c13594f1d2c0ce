#include "platform/own_folders.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <vector>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

std::string Slashed(std::string dir) { return dir.empty() || dir.back() == '/' ? dir : dir + '/'; }

// A folder on the way to one of the user's own: it belongs to the user or
// to root, and nobody else may write into it unless it is sticky (then
// others may remove or rename only what is theirs).
bool SafeOnTheWay(const struct stat& st) {
  return S_ISDIR(st.st_mode) && (st.st_uid == ::getuid() || st.st_uid == 0) &&
         ((st.st_mode & 022) == 0 || (st.st_mode & S_ISVTX) != 0);
}

// A folder of the user's own that nobody else may write into.
bool OwnFolder(const struct stat& st) {
  return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 022) == 0;
}

// The names of a path in order, without "" and ".".
std::deque<std::string> Names(const std::string& path) {
  std::deque<std::string> names;
  for (std::size_t start = 0; start <= path.size();) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string name = path.substr(start, end - start);
    if (!name.empty() && name != ".") names.push_back(name);
    start = end + 1;
  }
  return names;
}

// The folders a walk stands in, from the root down; closes them all.
class OpenFolders {
 public:
  ~OpenFolders() { Clear(); }
  void Clear() {
    for (const int fd : fds_) ::close(fd);
    fds_.clear();
  }
  void Push(int fd) { fds_.push_back(fd); }
  void Pop() {
    ::close(fds_.back());
    fds_.pop_back();
  }
  int Top() const { return fds_.back(); }
  std::size_t Depth() const { return fds_.size(); }
  // The last one, no longer closed here.
  int Take() {
    const int fd = fds_.back();
    fds_.pop_back();
    return fd;
  }

 private:
  std::vector<int> fds_;
};

enum class Walk { Open, Missing, Unsafe };

constexpr int kOpenFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Resolves the path as the system would, but one name at a time, from the
// root through folders opened on the way and never letting the system follow
// a link: each link met (at any place, also one met while resolving another)
// must be the user's or root's before it is followed, and each folder passed
// through must be safe on the way.  With `make`, a name missing on the way is
// made a folder (the last with mode 0700, those above it 0755) inside the folder judged so far, so
// nothing is made before the way to it is judged.  Returns the open end of
// the path (O_PATH, not judged itself), or -1 and why.
int WalkTo(const std::string& path, bool make, Walk& why) {
  why = Walk::Unsafe;
  std::error_code ec;
  const std::string absolute = std::filesystem::absolute(path, ec).string();
  if (ec || absolute.empty()) return -1;
  OpenFolders way;
  const auto openRoot = [&way] {
    way.Clear();
    const int root = ::open("/", kOpenFlags);
    struct stat st;
    if (root < 0) return false;
    way.Push(root);
    return ::fstat(root, &st) == 0 && SafeOnTheWay(st);
  };
  if (!openRoot()) return -1;
  std::deque<std::string> names = Names(absolute);
  int links = 0, made = 0;
  while (!names.empty()) {
    const std::string name = names.front();
    names.pop_front();
    if (name == "..") {
      if (way.Depth() > 1) way.Pop();
      continue;
    }
    struct stat st;
    if (::fstatat(way.Top(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      why = Walk::Missing;
      if (errno != ENOENT || !make || ++made > 100) return -1;
      if (::mkdirat(way.Top(), name.c_str(), names.empty() ? 0700 : 0755) != 0 && errno != EEXIST) return -1;
      names.push_front(name);
      continue;
    }
    if (S_ISLNK(st.st_mode)) {
      if ((st.st_uid != ::getuid() && st.st_uid != 0) || ++links > 40) return -1;
      std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
      const ssize_t n = ::readlinkat(way.Top(), name.c_str(), target.data(), target.size());
      if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return -1;
      target.resize(static_cast<std::size_t>(n));
      const std::deque<std::string> more = Names(target);
      names.insert(names.begin(), more.begin(), more.end());
      if (target.front() == '/' && !openRoot()) return -1;
      continue;
    }
    const int fd = ::openat(way.Top(), name.c_str(), kOpenFlags);
    struct stat opened;
    if (fd < 0 || ::fstat(fd, &opened) != 0 || opened.st_ino != st.st_ino || opened.st_dev != st.st_dev) {
      if (fd >= 0) ::close(fd);
      return -1;
    }
    way.Push(fd);
    // A folder passed through, not the end: nobody else may move it away.
    if (!names.empty() && !SafeOnTheWay(opened)) return -1;
  }
  why = Walk::Open;
  return way.Take();
}

// The folder opened as one of the user's own (O_PATH), or -1 and why not.
int OpenOwnFolder(const std::string& folder, bool make, std::string& why) {
  // Without its closing slashes: "link/" would name what the link leads to.
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const char* const unsafe = "lies in a folder or behind a link that others may change";
  // A link at the name itself counts only when the user made it (a settings
  // folder kept elsewhere), not when root did.
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && st.st_uid != ::getuid()) {
    why = unsafe;
    return -1;
  }
  Walk walk;
  const int fd = WalkTo(path, make, walk);
  if (fd < 0) {
    why = walk == Walk::Unsafe ? unsafe : "cannot be made";
    return -1;
  }
  why.clear();
  if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode)) why = "cannot be made";
  else if (st.st_uid != ::getuid()) why = "is not the user's own";
  else if (st.st_mode & 022) why = "may be written into by others";
  if (why.empty()) return fd;
  ::close(fd);
  return -1;
}

// How many private temporary folders a user may have in one place: beyond
// "kurvato-<uid>", names taken by others are passed over up to this count.
constexpr int kTemporaryFolders = 10;

// The private temporary folder in `base` opened (O_PATH), or -1; `name`
// receives its path.
int OpenPrivateTemporaryFolder(const std::string& base, std::string& name) {
  Walk walk;
  const int dir = base.empty() ? -1 : WalkTo(base, false, walk);
  struct stat st;
  if (dir < 0) return -1;
  if (::fstat(dir, &st) != 0 || !SafeOnTheWay(st)) {
    ::close(dir);
    return -1;
  }
  const std::string stem = "kurvato-" + std::to_string(::getuid());
  auto nameOf = [&stem](int k) { return k == 0 ? stem : stem + "-" + std::to_string(k); };
  auto open = [dir](const std::string& n) {
    struct stat own;
    if (::fstatat(dir, n.c_str(), &own, AT_SYMLINK_NOFOLLOW) != 0 || !OwnFolder(own)) return -1;
    const int fd = ::openat(dir, n.c_str(), kOpenFlags);
    if (fd >= 0 && (::fstat(fd, &own) != 0 || !OwnFolder(own))) {
      ::close(fd);
      return -1;
    }
    return fd;
  };
  // One that is there already first: an earlier start made it, and later
  // starts must meet it there even when a name before it has become free.
  int fd = -1;
  for (int k = 0; k < kTemporaryFolders && fd < 0; ++k) {
    fd = open(nameOf(k));
    if (fd >= 0) name = Slashed(base) + nameOf(k) + "/";
  }
  for (int k = 0; k < kTemporaryFolders && fd < 0; ++k) {
    if (::mkdirat(dir, nameOf(k).c_str(), 0700) != 0 && errno != EEXIST) continue;
    fd = open(nameOf(k));
    if (fd >= 0) name = Slashed(base) + nameOf(k) + "/";
  }
  ::close(dir);
  return fd;
}

std::string PasswordHome() {
  const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir)
    return {};
  return found->pw_dir;
}

struct SettingsPlace {
  std::string name;  // "" when there is none
  int fd = -1;       // the open folder (O_PATH)
};

SettingsPlace OpenSettingsFolder(const char* kurvatoHome, const char* xdgConfigHome, const char* home,
                                 const std::string& passwordHome, const std::string& tempFolder) {
  auto given = [](const char* v) { return v && *v; };
  std::string dir;
  if (given(kurvatoHome)) dir = kurvatoHome;
  else if (given(xdgConfigHome)) dir = std::string(xdgConfigHome) + "/kurvato";
  else if (given(home)) dir = std::string(home) + "/.config/kurvato";
  // No variable names a home: the one of the user's entry in the password
  // database, when it can hold the folder.
  else if (!passwordHome.empty() && passwordHome != "/") dir = passwordHome + "/.config/kurvato";
  // Another user who may write into the folder, or into one above it, could
  // put links there that the settings would be written through, hold its
  // lock or move it away: such a folder is passed over, and said so.
  if (!dir.empty()) {
    std::string why;
    const int fd = OpenOwnFolder(dir, true, why);
    if (fd >= 0) return {Slashed(dir), fd};
    std::fprintf(stderr, "kurvato: the settings folder %s %s; a private folder is used instead\n", dir.c_str(),
                 why.c_str());
  }
  // Else a private folder among the temporary files, the same for every
  // start (one instance, one lock).
  const std::string temp = tempFolder.empty() ? std::string("/tmp") : tempFolder;
  for (const std::string& base : {temp, std::string("/tmp")}) {
    SettingsPlace place;
    place.fd = OpenPrivateTemporaryFolder(base, place.name);
    if (place.fd >= 0) return place;
  }
  std::fprintf(stderr,
               "kurvato: no private folder can be had in %s or /tmp; settings are neither read nor written, and "
               "no lock tells a later start that this one runs\n",
               temp.c_str());
  return {};
}

const SettingsPlace& TheSettingsFolder() {
  static const SettingsPlace place = [] {
    const char* temp = std::getenv("TMPDIR");
    return OpenSettingsFolder(std::getenv("KURVATO_HOME"), std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"),
                              PasswordHome(), temp && *temp == '/' ? std::string(temp) : std::string("/tmp"));
  }();
  return place;
}

}  // namespace

bool FolderOfUsersOwn(const std::string& folder) {
  std::string why;
  const int fd = OpenOwnFolder(folder, false, why);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::string PrivateTemporaryFolder(const std::string& base) {
  std::string name;
  const int fd = OpenPrivateTemporaryFolder(base, name);
  if (fd < 0) return {};
  ::close(fd);
  return name;
}

std::string ChooseSettingsDirectory(const char* kurvatoHome, const char* xdgConfigHome, const char* home,
                                    const std::string& passwordHome, const std::string& tempFolder) {
  const SettingsPlace place = OpenSettingsFolder(kurvatoHome, xdgConfigHome, home, passwordHome, tempFolder);
  if (place.fd < 0) return "/dev/null/";
  ::close(place.fd);
  return place.name;
}

std::string SettingsFolderName() { return TheSettingsFolder().name; }

std::string SettingsFolderIdentity() {
  struct stat st;
  const int fd = TheSettingsFolder().fd;
  if (fd < 0 || ::fstat(fd, &st) != 0) return {};
  return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

std::string SettingsDirectory() {
  static const std::string path = [] {
    const SettingsPlace& place = TheSettingsFolder();
    // A folder that cannot exist: nothing is read or written.
    if (place.fd < 0) return std::string("/dev/null/");
    // The open folder by its descriptor; where /proc cannot show it, by the
    // name it was judged under.
    const std::string open = "/proc/self/fd/" + std::to_string(place.fd) + "/";
    struct stat byPath, byFd;
    if (::stat(open.c_str(), &byPath) == 0 && ::fstat(place.fd, &byFd) == 0 && byPath.st_ino == byFd.st_ino &&
        byPath.st_dev == byFd.st_dev)
      return open;
    return place.name;
  }();
  return path;
}

}  // namespace plat
