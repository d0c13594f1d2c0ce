// The clipboard: text, bitmaps and (later) enhanced metafiles, with the
// availability tests the command enablers use.  Everything is copied in
// and out, so no bitmap is owned by both the program and the clipboard.
//
// In testing mode the clipboard is an in-process store: tests never touch
// the desktop's clipboard and start from an empty one after Clear().
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace plat::clipboard {

bool HasText();
bool HasBitmap();    // a bitmap or a device-independent bitmap
bool HasMetafile();  // an enhanced metafile

// Each setter replaces the whole content (as emptying the clipboard and
// putting one format would).  False when the clipboard cannot be opened.
bool SetText(const std::string& utf8);
bool SetBitmap(const Bitmap& bitmap);
// Enhanced metafile bytes, with a picture for programs that cannot read
// them (may be null).
bool SetMetafile(const std::vector<std::uint8_t>& emf, const Bitmap* preview);

std::optional<std::string> GetText();
// A null bitmap when the clipboard offers none.
Bitmap GetBitmap();
std::optional<std::vector<std::uint8_t>> GetMetafile();

void Clear();

}  // namespace plat::clipboard
