// Plays an enhanced metafile into any DC: the records EmfDC writes and a
// tolerant subset of what other programs write (lines, curves, shapes,
// paths, regions, text, bitmaps, mapping modes and world transforms,
// clipping, saved states).  Records it does not know or cannot use are
// skipped; a record whose size, counts or offsets do not fit the bytes
// present is skipped, and a size that runs past the end stops the play.
//
// The metafile's frame is fitted onto the destination rectangle, and the
// drawing is clipped to it (and to the DC's own clip).  The DC's state is
// the same afterwards as before.
#pragma once

#include "platform/bitmap.h"
#include "platform/dc.h"
#include "platform/emf_metafile.h"

namespace plat {

struct EmfPlayStats {
  int played = 0;         // records acted on
  int skipped = 0;        // unknown, unsupported or malformed records
  bool complete = false;  // the end record was reached
};

// The pictures of one play are decoded within kMaxPicturePixels together,
// or within `pixelBudget` when given (shared by several plays, which
// count it down): a picture beyond what is left is skipped, as a picture
// beyond the budget of one picture is, so that no metafile keeps the
// program drawing for long.
EmfPlayStats PlayEnhMetafile(DC& dc, const EnhMetafile& emf, const Rect& dest, std::int64_t* pixelBudget = nullptr);

// The metafile drawn onto a new bitmap of the given size (a null bitmap for
// a null metafile, or a size of no pixels, above 16384 on a side or beyond
// kMaxPicturePixels).
Bitmap RenderEnhMetafile(const EnhMetafile& emf, int width, int height,
                         Colour background = Rgb(255, 255, 255));

}  // namespace plat
