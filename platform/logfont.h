// The font description of the platform layer is the program's own record
// (core/logfont.h); the glyphs of symbol-charset fonts are the platform's.
#pragma once

#include "core/logfont.h"

namespace plat {

using kv::LogFont;
using kv::FontCharSet;
using kv::ANSI_CHARSET;
using kv::DEFAULT_CHARSET;
using kv::SYMBOL_CHARSET;
using kv::FontWeight;
using kv::FW_NORMAL;
using kv::FW_BOLD;

char32_t SymbolToUnicode(unsigned char byte);

}  // namespace plat
