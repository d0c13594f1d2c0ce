// The clipboard: text, bitmaps and enhanced metafiles, with the
// availability tests the command enablers use.  A metafile goes to the
// desktop under the metafile types other programs look for, with a PNG
// picture of it alongside; a metafile from another program is taken from
// whichever of those types it offers.  Everything is copied in
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
#include "platform/emf_metafile.h"

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
// A metafile with a picture of it at its natural size (at most
// kMaxPreviewSide pixels on the longer side).
bool SetMetafile(const EnhMetafile& emf);
inline constexpr int kMaxPreviewSide = 2048;

std::optional<std::string> GetText();
// A null bitmap when the clipboard offers none, or when the picture it
// offers claims more than kMaxPicturePixels (then `tooLarge`, when given,
// is set; the picture is not decoded).
Bitmap GetBitmap(bool* tooLarge = nullptr);
std::optional<std::vector<std::uint8_t>> GetMetafile();
// The clipboard's metafile when it offers one with a sound header.
std::optional<EnhMetafile> GetEnhMetafile();

void Clear();

}  // namespace plat::clipboard
