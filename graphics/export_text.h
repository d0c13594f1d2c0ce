// Texts inside the vector exports made safe for their formats: XML
// character data and attributes (SVG, UTF-8), PostScript strings (EPS,
// Windows-1252 bytes) and TeX (PiCTeX, plain ASCII that compiles in plain
// TeX and in LaTeX).  The program's texts are UTF-8 inside.
#pragma once

#include <string>
#include <string_view>

#include "platform/app.h"

namespace kv {

// '&', '<', '>', '"' and '\'' as entities; control characters that XML
// does not allow become '?'.
std::string EscapeXml(std::string_view utf8);

// The Windows-1252 bytes of the text for a PostScript string: '\\', '('
// and ')' escaped, bytes outside printable ASCII as octal escapes.  The en
// and em dashes, which the Latin-1 encoding lacks, become '-'.
std::string EscapePostScript(std::string_view utf8);
// Whether the text has characters beyond ASCII, which need a font with the
// Latin-1 encoding.
bool NeedsLatin1(std::string_view utf8);

// TeX's special characters escaped and the common characters beyond ASCII
// (umlauts, accented letters, sharp s, degree, dashes) spelled as TeX
// accents and symbols; others become '?'.  `math` says whether the text
// stands in math mode, where letters with accents go into an \hbox.
std::string EscapeTex(std::string_view utf8, bool math);

// The long date form of the German system locale: "Montag, 3. März 2025".
std::string GermanLongDate(const plat::LocalTime& t);

}  // namespace kv
