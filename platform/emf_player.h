// Plays an enhanced metafile into any DC: the records EmfDC writes and a
// tolerant subset of what other programs write (lines, curves, shapes,
// paths, regions, text, bitmaps, mapping modes and world transforms,
// clipping, saved states).  Records it does not know or cannot use are
// skipped; a record whose size, counts or offsets do not fit the bytes
// present is skipped, and a size that runs past the end stops the play,
// as does a play beyond its budget of drawing work (see EmfPlayBudget).
//
// The metafile's frame is fitted onto the destination rectangle, and the
// drawing is clipped to it (and to the DC's own clip).  The DC's state is
// the same afterwards as before.
#pragma once

#include <chrono>

#include "platform/bitmap.h"
#include "platform/dc.h"
#include "platform/emf_metafile.h"

namespace plat {

struct EmfPlayStats {
  int played = 0;         // records acted on
  int skipped = 0;        // unknown, unsupported or malformed records, and those beyond the budget
  int overBudget = 0;     // drawings and pictures skipped as beyond the budget
  bool complete = false;  // the end record was reached
};

// The drawing work of a play, in units of about one pixel filled: each
// record read, each line, shape, glyph and picture handed to the DC, the
// destination pixels each covers (as far as they can be seen) and the
// pixels of the pictures decoded.  The surfaces the program draws on fill
// a few hundred million pixels a second, so that one play, or all the plays
// of one paint, end within about a third of a second.  The program's own
// pictures take far less at the window's size: a copy of a plot a few
// million, a high-resolution copy of a dense mapping about thirteen.
inline constexpr std::int64_t kMaxDrawingWork = 128'000'000;

// The time on the steady clock that one play, or all the plays of one paint
// together, may take.  The units of work are counted as one processor of
// its own would do them; a processor shared with other work, or a slower
// one, does fewer in the same time, and the window must still answer well
// within a second.  The program's own pictures take a few milliseconds.
inline constexpr std::chrono::milliseconds kMaxDrawingTime{250};

// What one play may still spend, or all the plays of one paint together:
// decoded picture pixels, drawing work and time (from when the budget is
// made).  A play counts the pixels and the work down; a picture or a
// drawing beyond what is left is skipped, and once the work or the time is
// spent (or the program has been told to end, see App::Terminating) the
// play stops, so that no metafile keeps the program from answering.
struct EmfPlayBudget {
  std::int64_t pixels = kMaxPicturePixels;
  std::int64_t work = kMaxDrawingWork;
  std::chrono::steady_clock::time_point until = std::chrono::steady_clock::now() + kMaxDrawingTime;
};

// Plays within `budget` when given, else within a budget of its own.
EmfPlayStats PlayEnhMetafile(DC& dc, const EnhMetafile& emf, const Rect& dest, EmfPlayBudget* budget = nullptr);

// The metafile drawn onto a new bitmap of the given size (a null bitmap for
// a null metafile, or a size of no pixels, above 16384 on a side or beyond
// kMaxPicturePixels).
Bitmap RenderEnhMetafile(const EnhMetafile& emf, int width, int height,
                         Colour background = Rgb(255, 255, 255));

}  // namespace plat
