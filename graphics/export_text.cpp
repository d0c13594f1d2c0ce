#include "graphics/export_text.h"

#include <array>
#include <cstdio>

#include "core/text_encoding.h"

namespace kv {

std::string EscapeXml(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + 8);
  for (const char c : utf8) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
          out += '?';
        else
          out += c;
    }
  }
  return out;
}

std::string EscapePostScript(std::string_view utf8) {
  std::string ansi = Utf8ToCp1252(std::string(utf8));
  std::string out;
  out.reserve(ansi.size() + 8);
  for (char ch : ansi) {
    auto b = static_cast<unsigned char>(ch);
    if (b == 150 || b == 151) b = '-';
    if (b == '\\' || b == '(' || b == ')') {
      out += '\\';
      out += static_cast<char>(b);
    } else if (b < 32 || b >= 127) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03o", b);
      out += buf;
    } else {
      out += static_cast<char>(b);
    }
  }
  return out;
}

bool NeedsLatin1(std::string_view utf8) {
  for (const char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

namespace {

// Text-mode TeX of a character beyond ASCII, or nullptr.
const char* TexOfCharacter(char32_t c) {
  switch (c) {
    case U'ä': return "\\\"a";
    case U'ö': return "\\\"o";
    case U'ü': return "\\\"u";
    case U'Ä': return "\\\"A";
    case U'Ö': return "\\\"O";
    case U'Ü': return "\\\"U";
    case U'ß': return "\\ss{}";
    case U'é': return "\\'e";
    case U'è': return "\\`e";
    case U'á': return "\\'a";
    case U'à': return "\\`a";
    case U'ó': return "\\'o";
    case U'ç': return "\\c{c}";
    default: return nullptr;
  }
}

}  // namespace

std::string EscapeTex(std::string_view utf8, bool math) {
  const std::string s(utf8);
  std::string out;
  out.reserve(s.size() + 8);
  std::size_t i = 0;
  while (i < s.size()) {
    const char32_t c = NextUtf8(s, i);
    switch (c) {
      case U'#': out += "\\#"; continue;
      case U'$': out += "\\$"; continue;
      case U'%': out += "\\%"; continue;
      case U'&': out += "\\&"; continue;
      case U'_': out += "\\_"; continue;
      case U'{': out += "\\{"; continue;
      case U'}': out += "\\}"; continue;
      case U'\\': out += "{\\tt\\char92}"; continue;
      case U'~': out += "{\\tt\\char126}"; continue;
      case U'^': out += "{\\tt\\char94}"; continue;
      case U'°': out += math ? "^\\circ" : "$^\\circ$"; continue;
      case U'–':
      case U'—':
      case U'−': out += math ? "-" : "--"; continue;
      case U'π': out += math ? "\\pi" : "$\\pi$"; continue;
      default: break;
    }
    if (c < 0x80) {
      out += c < 0x20 ? '?' : static_cast<char>(c);
    } else if (const char* t = TexOfCharacter(c)) {
      if (math) out += "\\hbox{";
      out += t;
      if (math) out += '}';
    } else {
      out += '?';
    }
  }
  return out;
}

std::string GermanLongDate(const plat::LocalTime& t) {
  static constexpr std::array<const char*, 7> kDays = {"Sonntag",  "Montag",  "Dienstag", "Mittwoch",
                                                       "Donnerstag", "Freitag", "Samstag"};
  static constexpr std::array<const char*, 12> kMonths = {"Januar", "Februar", "März",      "April",
                                                          "Mai",    "Juni",    "Juli",      "August",
                                                          "September", "Oktober", "November", "Dezember"};
  const int month = (t.month >= 1 && t.month <= 12) ? t.month : 1;
  // Sakamoto's weekday rule (0 = Sunday).
  static constexpr int kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  int y = t.year;
  if (month < 3) --y;
  int weekday = (y + y / 4 - y / 100 + y / 400 + kOffsets[month - 1] + t.day) % 7;
  if (weekday < 0) weekday += 7;
  return std::string(kDays[static_cast<std::size_t>(weekday)]) + ", " + std::to_string(t.day) + ". " +
         kMonths[static_cast<std::size_t>(month - 1)] + " " + std::to_string(t.year);
}

}  // namespace kv
