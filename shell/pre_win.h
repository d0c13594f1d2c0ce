// The third layer of every plot window (and of the colour window): the
// client geometry all drawing uses, up to three off-screen bitmaps a plot is
// drawn into before it reaches the screen, a background picture (a BMP from
// a file or from the clipboard) painted under the plot, the window's table
// of 61 colours with its grey tables, and fifteen colour slots (the colours
// of the window's parts, slot 0 the background).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/dc.h"
#include "platform/types.h"
#include "shell/font_win.h"

namespace kv {

inline constexpr int kColourCount = 61;
inline constexpr int kColourSlotCount = 15;

// The colour table every window starts with: 0 black, 1 white, 2..60 the
// user colours.
const std::array<plat::Colour, kColourCount>& DefaultColourTable();

// Grey level (luminance truncated) and shade count of every colour.
void BuildGreyTables(const std::array<plat::Colour, kColourCount>& colours,
                     std::array<std::int16_t, kColourCount>& greyLevels,
                     std::array<std::int16_t, kColourCount>& greyShades);

// dest = name with everything from the last "." of its file-name part
// replaced by "1.bmp"; false (dest untouched) when that part has no ".".
bool MakePictureFileName(std::string& dest, const std::string& name);

class TPreWin : public TFontWin {
 public:
  TPreWin(plat::Window* parent, const std::string& title);
  ~TPreWin() override;

  void SetupWindow() override;
  const plat::CommandTable& Commands() const override;
  void EvSize(unsigned sizeType, plat::Size clientSize) override;

  // ---- colours ----
  // Entry index for 1..60, entry 0 for anything else.
  plat::Colour GetColour(int index) const;
  // (g, g, g) with g the grey level of index mod 61.
  plat::Colour GetGreyColour(int index) const;
  // Rebuilds GreyLevels and GreyShades from ColourTable.
  virtual void BuildGreyTables();

  // ---- client geometry and off-screen bitmaps ----
  std::vector<plat::Point> CreateClientRegion() const;
  void UpdateClientSize();
  bool ClientSizeChanged();
  // Recreates bitmaps 0..last at client size (none for a negative last),
  // marks them invalid, paints the background into the last one and
  // rebuilds ClientRegion.
  void CreateBackBuffers(int last, plat::DC& dc);
  void BlitBackBuffer(int index, plat::DC& dc);
  // Marks an off-screen bitmap stale; a window whose bitmaps are layers of
  // one picture makes the layer below stale too.
  virtual void InvalidateBackBuffer(int index);
  void FillColourRect(plat::DC& dc, int x1, int y1, int x2, int y2, int index, bool framed);
  // UpdateClientSize and ClientRegion anew (the device text scale follows
  // in the window base).
  virtual void ResetClientGeometry();

  // ---- picture ----
  // Drops the picture, and the name of one whose file was missing.
  void FreePicture();
  bool HasPicture() const { return !Picture.IsNull(); }
  // A picture is loaded, or a plot file named one whose file could not be
  // opened: either way the plot file keeps its name.
  bool KeepsPictureName() const { return HasPicture() || PictureFileMissing; }

  // ---- virtual operations ----
  // A colour slot changed in the colour window; the code is the slot's
  // ColourTargets entry.  Nothing here.
  virtual void EvViewNotify(std::int32_t code) {}
  virtual void UpdateMenuChecks(bool drawMenuBar) {}
  // Fills the client with the background colour and copies the picture
  // over it.
  virtual void PaintBackground(plat::DC& dc);
  virtual void ColourEdited() {}
  // Loads the picture named in PictureFileData: 0, 2 (missing) or 11
  // (unreadable, damaged, or more pixels than any picture may have).
  virtual std::int16_t OpenPicture();
  // The file layer's Save, then the offer to keep a pasted picture beside
  // the plot file.
  bool Save() override;

  // ---- fields ----
  std::array<std::uint8_t, 3> BufferValid{};
  std::uint8_t SizeChangePending = 1;
  std::int32_t ClientWidth = 11;
  std::int32_t ClientHeight = 11;
  std::int32_t ClientWidth8 = 1;
  std::int32_t ClientHeight8 = 1;
  std::int16_t OriginX = 0;
  std::int16_t OriginY = 0;
  std::int16_t PaintBufferIndex = 0;
  std::array<plat::Bitmap, 3> BackBuffers;
  plat::Bitmap Picture;
  std::int32_t PictureWidth = 0;
  std::int32_t PictureHeight = 0;
  std::uint8_t PictureFromFile = 0;
  // The plot file named a background picture (now in PictureFileData) whose
  // file could not be opened; saving writes that name back.
  std::uint8_t PictureFileMissing = 0;
  std::vector<plat::Point> ClientRegion;  // polygon of the drawing area
  std::array<std::int16_t, kColourSlotCount> ColourSlots{};
  std::array<std::int32_t, kColourSlotCount> ColourTargets{};
  std::array<std::int32_t, kColourSlotCount> ColourCaptionIds{};
  plat::Colour BackgroundColour = 0;
  std::uint8_t PaletteDevice = 0;
  std::uint8_t SizeChangeMarksModified = 0;
  std::array<plat::Colour, kColourCount> ColourTable{};
  std::array<std::int16_t, kColourCount> GreyLevels{};
  std::array<std::int16_t, kColourCount> GreyShades{};
  TFileDialogData PictureFileData;

 private:
  void CmOpenPicture();
  void CmPastePicture();
  void CmRemovePicture();
  void CePastePicture(plat::CommandEnabler& ce);
  void CeRemovePicture(plat::CommandEnabler& ce);
  void PictureChanged();
};

}  // namespace kv
