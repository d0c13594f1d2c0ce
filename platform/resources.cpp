// Resource lookup.  The build embeds resources/*.rc and resources/help/*.txt
// (cmake/EmbedResources.cmake); the first lookup parses every script into one
// set and keeps the help texts.  Later lookups only read, so the tables need
// no locking after the one-time load.
#include "platform/resources.h"

#include <cstddef>
#include <string_view>

#include "platform/testing_impl.h"

namespace kv_embedded {
struct File {
  const char* name;
  const unsigned char* data;
  std::size_t size;
};
extern const File kScripts[];
extern const File kHelpTexts[];
}  // namespace kv_embedded

namespace plat::res {
namespace detail {
bool IsValidUtf8(std::string_view s);  // resource_script_lexer.cpp
}
namespace {

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// Help texts are shown with CR LF line ends whatever the checkout did to
// them: a lone LF becomes CR LF, a lone CR is kept.
std::string WithCrLf(std::string_view in) {
  std::string out;
  out.reserve(in.size() + in.size() / 32);
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '\n' && (i == 0 || in[i - 1] != '\r')) out += '\r';
    out += in[i];
  }
  return out;
}

struct Loaded {
  ResourceSet set;
  std::map<std::string, std::string> help;
};

Loaded Load() {
  Loaded d;
  for (const kv_embedded::File* f = kv_embedded::kScripts; f->name; ++f)
    ParseScript(std::string(reinterpret_cast<const char*>(f->data), f->size), f->name, d.set);
  for (const kv_embedded::File* f = kv_embedded::kHelpTexts; f->name; ++f) {
    const std::string name = Upper(f->name);
    if (d.help.count(name)) {
      d.set.errors.push_back("help/" + std::string(f->name) + ": duplicate help text " + name);
      continue;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(f->data), f->size);
    if (!detail::IsValidUtf8(bytes) || bytes.find('\0') != std::string_view::npos)
      d.set.errors.push_back("help/" + std::string(f->name) + ": not valid UTF-8 text");
    d.help[name] = WithCrLf(bytes);
  }
  return d;
}

const Loaded& Data() {
  static const Loaded data = Load();
  return data;
}

template <typename Map>
auto FindIn(const Map& map, const std::string& name) -> const typename Map::mapped_type* {
  const auto it = map.find(Upper(name));
  return it == map.end() ? nullptr : &it->second;
}

template <typename Map>
std::vector<std::string> Names(const Map& map) {
  std::vector<std::string> out;
  out.reserve(map.size());
  for (const auto& [name, value] : map) out.push_back(name);
  return out;
}

}  // namespace

const Control* DialogTemplate::Find(int id) const {
  if (id < 0) return nullptr;  // plain labels share -1; none of them is "the" control -1
  for (const Row& row : rows)
    for (const Control& c : row.controls)
      if (c.id == id) return &c;
  return nullptr;
}

std::string String(int id) {
  const auto& strings = Data().set.strings;
  const auto it = strings.find(id);
  return it == strings.end() ? std::string() : it->second;
}

bool HasString(int id) { return Data().set.strings.count(id) != 0; }

const Menu* FindMenu(const std::string& name) { return FindIn(Data().set.menus, name); }

const AcceleratorTable* FindAccelerators(const std::string& name) {
  return FindIn(Data().set.accelerators, name);
}

const DialogTemplate* FindDialog(const std::string& name) {
  if (const DialogTemplate* t = FindIn(Data().set.dialogs, name)) return t;
  return testing::TestingMode() ? testing::internal::FindTestDialog(name) : nullptr;
}

std::optional<std::string> HelpText(const std::string& name) {
  const std::string* text = FindIn(Data().help, name);
  if (!text) return std::nullopt;
  return *text;
}

std::vector<int> AllStringIds() {
  std::vector<int> out;
  for (const auto& [id, text] : Data().set.strings) out.push_back(id);
  return out;
}

std::vector<std::string> AllMenuNames() { return Names(Data().set.menus); }
std::vector<std::string> AllDialogNames() { return Names(Data().set.dialogs); }
std::vector<std::string> AllHelpNames() { return Names(Data().help); }

const std::vector<std::string>& ParseErrors() { return Data().set.errors; }

}  // namespace plat::res
