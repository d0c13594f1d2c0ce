// The picture layer, the top of the window chain under every plot window:
// the plot recorded as an enhanced metafile for the clipboard or a ".emf"
// file (at the client's size or nine times it), and the embedded pictures,
// metafiles pasted from the clipboard and placed on world rectangles,
// drawn over the plot, moved, resized, bound to objects of the plot,
// copied, cut, deleted and kept in the plot file with their bytes.  Until
// the plot layers paint their graphs, its paint shows the coordinate
// system with the labels and pictures: background, axes and grid drawn
// into the window's back buffer and copied to the screen.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "graphics/model/picture_record.h"
#include "graphics/zor_wint.h"
#include "platform/emf_metafile.h"

namespace kv {

enum : int {
  kCmCopyMetafile = 311,   // "In &Ablage kopieren" (Strg+C)
  kCmEmfFile = 370,        // "&EMF Datei ..."
  kCmHighResolution = 371, // "H&ohe Auflösung"
};

// The factor of "H&ohe Auflösung": the metafile is recorded at nine times
// the client's size.
inline constexpr int kHighResolutionScale = 9;

class TZORWinm : public TZORWint {
 public:
  TZORWinm(plat::Window* parent, const std::string& title);
  ~TZORWinm() override;

  const plat::CommandTable& Commands() const override;
  void Destroy() override;
  void UpdateMenuChecks(bool drawMenuBar) override;
  // Redraws the back buffer when the size, the view or a setting made it
  // stale, then copies it to dc.
  void Paint(plat::DC& dc, bool erase, const plat::Rect& rect) override;
  // What the paint draws over the background: the view frame, the axes,
  // the labels and the pictures.
  virtual void DrawPicture(plat::DC& dc);

  // ---- virtual operations ----
  // The whole plot drawn into a metafile DC at `scale` times the client
  // size; nothing here, the plot windows draw.
  virtual void MetafileHook(plat::DC& dc, int scale) {}
  // Whether the window draws into metafiles (the metafile commands).
  virtual bool CanMetafile() { return false; }

  // ---- metafiles of the plot ----
  // The plot as a metafile (at nine times the client size with the high
  // resolution flag) on the clipboard, or in a ".emf" file the user names.
  void RenderToMetafile(bool toClipboard);
  // The recording itself: the plot at `scale` times the client size.
  plat::EnhMetafile RecordMetafile(int scale);
  // The name the save dialog proposes: the file name of the plot shown,
  // with ".emf".
  std::string MetafileFileName() const;

  // ---- embedded pictures ----
  // Pastes the clipboard's metafile at the device point, or edits the
  // picture there in "METADLG".
  void EditPictureAtPoint(int x, int y);
  void DrawPictures(plat::DC& dc);
  // The index of the first picture whose device rectangle holds the point
  // (-1 when none), with the point's offset from its top-left and its size.
  int HitTestPicture(plat::Point p, plat::Point& offset, plat::Size& size);
  // Moves the picture under the point with the rubber band; whether one was hit.
  bool DragPicture(int x, int y);
  // The clipboard's metafile, or none when it offers no sound metafile.
  std::optional<plat::EnhMetafile> PasteMetafile();
  void FreePictures(std::vector<TPictureRecord>& list) { list.clear(); }
  // Removes the picture at the position in the list.
  void RemovePicture(int position);
  void PictureToAbsolute(TPictureRecord& p);
  void PictureToRelative(TPictureRecord& p);

  // ---- fields ----
  std::uint8_t HighResolution = 0;
  // The program description the plot windows put into metafiles (at most
  // 39 characters).
  std::string MetafileDescription;
  // The embedded pictures (metafile bytes on world rectangles), which the
  // plot file stores.
  std::vector<TPictureRecord> Pictures;
  // Filter and extension of the ".emf" save dialog; the name it proposes
  // follows the plot (MetafileFileName).
  TFileDialogData EmfFileData;

 private:
  void CmCopyMetafile() { RenderToMetafile(true); }
  void CmEmfFile() { RenderToMetafile(false); }
  void CmHighResolution();
  void CeMetafile(plat::CommandEnabler& ce) { ce.Enable(CanMetafile()); }
};

}  // namespace kv
