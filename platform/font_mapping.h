// Platform-internal: turns the program's font records into Qt fonts.
//
// Face names of the classic Windows fonts are mapped to installed metric
// compatible families (Arial -> Liberation Sans, Times New Roman -> Liberation
// Serif, Courier New -> Liberation Mono, Symbol -> DejaVu Sans); an unknown
// face is used when installed and otherwise falls back to Liberation Sans.
// A symbol-charset font draws its bytes through the Adobe Symbol encoding.
#pragma once

#include <QFont>
#include <QString>

#include <string>

#include "platform/logfont.h"

namespace plat {

// The installed family that stands in for a face name.
QString FamilyForFace(const std::string& face);

// The Qt font for a record: negative height = pixel size of the em (the
// characters), positive height = cell height (ascent + descent), 0 = a
// default of 12 pixels; width != 0 stretches to that average character
// width; weight, italic, underline and strike-out as given.  Drawing fonts
// are not antialiased so that pixels stay exact; widgets may ask for
// antialiased text.
QFont QFontFromLogFont(const LogFont& font, bool antialias = false);

// The text a font draws for UTF-8 input: with a symbol charset, every
// character below 256 (a Windows-1252 byte) becomes its Symbol glyph.
QString TextForFont(const LogFont& font, const std::string& utf8);

}  // namespace plat
