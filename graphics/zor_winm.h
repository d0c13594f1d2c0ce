// The picture layer, the top of the window chain under every plot window:
// it holds the embedded pictures the plot file stores; drawing them and
// metafile output arrive with their own work.  Until the plot layers paint
// their graphs, its paint shows the coordinate system: background, axes and
// grid drawn into the window's back buffer and copied to the screen.
#pragma once

#include <string>
#include <vector>

#include "graphics/picture_record.h"
#include "graphics/zor_wint.h"

namespace kv {

class TZORWinm : public TZORWint {
 public:
  TZORWinm(plat::Window* parent, const std::string& title);
  ~TZORWinm() override;

  // Redraws the back buffer when the size, the view or a setting made it
  // stale, then copies it to dc.
  void Paint(plat::DC& dc, bool erase, const plat::Rect& rect) override;
  // What the paint draws over the background: the view frame and the axes.
  virtual void DrawPicture(plat::DC& dc);
  // The whole plot drawn into a metafile DC at `scale` times the client
  // size; nothing here, the plot windows draw.
  virtual void MetafileHook(plat::DC& dc, int scale) {}
  // Whether the window draws into metafiles (the metafile commands).
  virtual bool CanMetafile() { return false; }

  // The program description the plot windows put into metafiles (at most
  // 39 characters).
  std::string MetafileDescription;
  // The embedded pictures (metafile bytes on world rectangles), which the
  // plot file stores.
  std::vector<TPictureRecord> Pictures;
};

}  // namespace kv
