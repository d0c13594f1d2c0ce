#include "shell/pre_win.h"

#include <cstdint>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "core/binary_stream.h"
#include "platform/clipboard.h"
#include "platform/common_dialogs.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

enum : int {
  CM_REMOVE_PICTURE = 356,
  CM_OPEN_PICTURE = 372,
  CM_PASTE_PICTURE = 373,
};

constexpr std::int16_t kDefaultColourSlot = 19;

}  // namespace

const std::array<plat::Colour, kColourCount>& DefaultColourTable() {
  using plat::Rgb;
  static const std::array<plat::Colour, kColourCount> table{
      Rgb(0, 0, 0),       Rgb(255, 255, 255), Rgb(255, 0, 255),   Rgb(255, 255, 0),   Rgb(255, 0, 0),
      Rgb(0, 191, 63),    Rgb(0, 0, 255),     Rgb(0, 127, 127),   Rgb(255, 127, 0),   Rgb(255, 0, 127),
      Rgb(160, 47, 0),    Rgb(0, 255, 255),   Rgb(191, 191, 127), Rgb(127, 0, 127),   Rgb(32, 255, 0),
      Rgb(255, 127, 127), Rgb(135, 135, 0),   Rgb(0, 60, 160),    Rgb(224, 224, 224), Rgb(192, 192, 192),
      Rgb(160, 160, 160), Rgb(128, 128, 128), Rgb(96, 96, 96),    Rgb(64, 64, 64),    Rgb(191, 0, 63),
      Rgb(126, 222, 255), Rgb(255, 204, 204), Rgb(255, 126, 222), Rgb(255, 222, 126), Rgb(222, 255, 126),
      Rgb(126, 255, 222), Rgb(255, 255, 191), Rgb(255, 191, 255), Rgb(191, 255, 255), Rgb(255, 255, 222),
      Rgb(255, 222, 255), Rgb(222, 255, 255), Rgb(177, 222, 212), Rgb(177, 212, 222), Rgb(212, 177, 222),
      Rgb(212, 222, 177), Rgb(222, 177, 212), Rgb(222, 212, 177), Rgb(191, 241, 222), Rgb(191, 222, 241),
      Rgb(222, 241, 191), Rgb(222, 191, 241), Rgb(241, 222, 191), Rgb(241, 191, 222), Rgb(255, 150, 234),
      Rgb(150, 234, 255), Rgb(204, 204, 204), Rgb(200, 112, 0),   Rgb(222, 205, 0),   Rgb(222, 104, 32),
      Rgb(20, 130, 40),   Rgb(192, 0, 160),   Rgb(212, 40, 40),   Rgb(80, 132, 176),  Rgb(100, 160, 200),
      Rgb(20, 100, 20),
  };
  return table;
}

void BuildGreyTables(const std::array<plat::Colour, kColourCount>& colours,
                     std::array<std::int16_t, kColourCount>& greyLevels,
                     std::array<std::int16_t, kColourCount>& greyShades) {
  greyLevels[0] = 0;
  greyShades[0] = 64;
  greyLevels[1] = 255;
  greyShades[1] = 0;
  for (std::size_t i = 2; i < static_cast<std::size_t>(kColourCount); ++i) {
    auto grey = static_cast<int>(Luminance(colours[i]));  // truncated toward zero
    greyLevels[i] = static_cast<std::int16_t>(grey);
    greyShades[i] = static_cast<std::int16_t>((255 - grey) * 32 / 75);
  }
}

bool MakePictureFileName(std::string& dest, const std::string& name) {
  // Only a dot in the file's own name counts, not one in a folder name.
  std::size_t start = name.find_last_of("/\\");
  start = start == std::string::npos ? 0 : start + 1;
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot < start) return false;
  dest = name.substr(0, dot) + "1.bmp";
  return true;
}

// ---------------------------------------------------------------------------

TPreWin::TPreWin(plat::Window* parent, const std::string& title) : TFontWin(parent, title) {
  ColourTable = DefaultColourTable();
  BuildGreyTables();
  ColourSlots.fill(kDefaultColourSlot);
  ColourTargets.fill(-1);
  ColourTargets[0] = 0;
  ColourCaptionIds.fill(0);
  ClientWidth8 = ClientWidth / 8;
  ClientHeight8 = ClientHeight / 8;
}

TPreWin::~TPreWin() = default;

const plat::CommandTable& TPreWin::Commands() const {
  static const auto table = plat::CommandTable::Build<TPreWin>(
      &TFontWin::Commands(), {
                                 {CM_OPEN_PICTURE, &TPreWin::CmOpenPicture},
                                 {CM_PASTE_PICTURE, &TPreWin::CmPastePicture, &TPreWin::CePastePicture},
                                 {CM_REMOVE_PICTURE, &TPreWin::CmRemovePicture, &TPreWin::CeRemovePicture},
                             });
  return table;
}

void TPreWin::SetupWindow() {
  TFontWin::SetupWindow();
  PaletteDevice = (plat::ScreenCaps().rasterCaps & plat::RC_PALETTE) != 0 ? 1 : 0;
  SetBkgndColor(GetColour(ColourSlots[0]));
  ClientRegion = CreateClientRegion();
  PictureFileData.Filter = plat::res::String(19);
  PictureFileData.DefaultExt = "bmp";
  PictureFileData.FileName.clear();
}

void TPreWin::EvSize(unsigned sizeType, plat::Size clientSize) {
  TFontWin::EvSize(sizeType, clientSize);
  InvalidateBackBuffer(PaintBufferIndex);
  Invalidate(false);
}

// ---- colours ----

plat::Colour TPreWin::GetColour(int index) const {
  if (index >= 1 && index < kColourCount) return ColourTable[static_cast<std::size_t>(index)];
  return ColourTable[0];
}

plat::Colour TPreWin::GetGreyColour(int index) const {
  // A negative index is taken modulo 61 into 0..60 as well.
  int i = ((index % kColourCount) + kColourCount) % kColourCount;
  int g = GreyLevels[static_cast<std::size_t>(i)];
  return plat::Rgb(g, g, g);
}

void TPreWin::BuildGreyTables() { kv::BuildGreyTables(ColourTable, GreyLevels, GreyShades); }

// ---- geometry and off-screen bitmaps ----

std::vector<plat::Point> TPreWin::CreateClientRegion() const {
  const int right = OriginX + ClientWidth - 1;
  const int bottom = OriginY + ClientHeight - 1;
  return {{OriginX, OriginY}, {right, OriginY}, {right, bottom}, {OriginX, bottom}};
}

void TPreWin::UpdateClientSize() {
  plat::Rect r = GetClientRect();
  ClientWidth = r.right;
  ClientHeight = r.bottom < 1 ? 1 : r.bottom;
  OriginX = 0;
  OriginY = 0;
  ClientWidth8 = ClientWidth / 8;
  ClientHeight8 = ClientHeight / 8;
}

bool TPreWin::ClientSizeChanged() {
  const std::int32_t oldWidth = ClientWidth;
  const std::int32_t oldHeight = ClientHeight;
  UpdateClientSize();
  bool changed = oldWidth != ClientWidth || oldHeight != ClientHeight || SizeChangePending;
  SizeChangePending = 0;
  if (SizeChangeMarksModified && ClientWidth > 100 && ClientHeight > 100 && changed) Modified = 1;
  return changed;
}

void TPreWin::ResetClientGeometry() {
  UpdateClientSize();
  ClientRegion = CreateClientRegion();
}

void TPreWin::CreateBackBuffers(int last, plat::DC& dc) {
  if (last < 0) return;
  if (last > 2) last = 2;
  const int w = ClientWidth > 0 ? ClientWidth : 1;
  const int h = ClientHeight > 0 ? ClientHeight : 1;
  for (int i = 0; i <= last; ++i) {
    auto k = static_cast<std::size_t>(i);
    BackBuffers[k] = plat::Bitmap(w, h);
    BufferValid[k] = 0;
  }
  plat::BitmapDC bdc(BackBuffers[static_cast<std::size_t>(last)]);
  bdc.SetCaps(dc.Caps());
  PaintBackground(bdc);
  ClientRegion = CreateClientRegion();
}

void TPreWin::BlitBackBuffer(int index, plat::DC& dc) {
  const std::size_t k = index < 1 ? 0 : index == 1 ? 1 : 2;
  if (BackBuffers[k].IsNull()) return;
  dc.BitBlt(OriginX, OriginY, ClientWidth, ClientHeight, BackBuffers[k], 0, 0, plat::SRCCOPY);
}

void TPreWin::InvalidateBackBuffer(int index) {
  if (index < 0) return;
  BufferValid[index >= 2 ? 2 : static_cast<std::size_t>(index)] = 0;
}

void TPreWin::FillColourRect(plat::DC& dc, int x1, int y1, int x2, int y2, int index, bool framed) {
  plat::Pen oldPen = dc.SelectPen(framed ? plat::Pen{plat::PS_SOLID, 1, plat::Rgb(0, 0, 0)} : plat::NullPen());
  plat::Brush oldBrush = dc.SelectBrush(plat::SolidBrush(GetColour(index)));
  dc.Rectangle(x1, y1, x2, y2);
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}

void TPreWin::PaintBackground(plat::DC& dc) {
  const plat::Colour colour = GetColour(ColourSlots[0]);
  plat::Brush old = dc.SelectBrush(plat::SolidBrush(colour));
  dc.PatBlt(0, 0, ClientWidth, ClientHeight, plat::PATCOPY);
  plat::Colour seen = dc.GetPixel(5, 5);
  BackgroundColour = seen == 0xFFFFFFFFu ? colour : seen;
  dc.SelectBrush(old);
  if (Picture.IsNull()) return;
  // A larger picture is cut at the client's edge; a smaller one leaves the
  // rest in the background colour.
  const int w = Picture.Width() < ClientWidth ? Picture.Width() : ClientWidth;
  const int h = Picture.Height() < ClientHeight ? Picture.Height() : ClientHeight;
  dc.BitBlt(0, 0, w, h, Picture, 0, 0, plat::SRCCOPY);
}

// ---- picture ----

void TPreWin::FreePicture() {
  Picture = plat::Bitmap();
  PictureFromFile = 0;
  PictureFileMissing = 0;
}

void TPreWin::PictureChanged() {
  PictureWidth = Picture.Width();
  PictureHeight = Picture.Height();
  if (PictureWidth > ScreenWidth || PictureHeight > ScreenHeight) ShowMessageById(20);
  InvalidateBackBuffer(PaintBufferIndex);
  Invalidate(false);
}

std::int16_t TPreWin::OpenPicture() {
  const std::string& name = PictureFileData.FileName;
  // A file that cannot be opened for reading is "nicht zu finden" (2).
  struct stat st;
  if (::stat(name.c_str(), &st) != 0 || ::access(name.c_str(), R_OK) != 0) return 2;
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(name, bytes)) return 11;
  plat::Bitmap loaded = plat::Bitmap::FromBmpBytes(bytes);
  if (loaded.IsNull()) return 11;
  FreePicture();
  Picture = std::move(loaded);
  PictureFromFile = 1;
  PictureChanged();
  UpdateMenuChecks(false);
  return 0;
}

void TPreWin::CmOpenPicture() {
  plat::FileDialogRequest req;
  req.filter = PictureFileData.Filter;
  req.defaultExtension = PictureFileData.DefaultExt;
  req.initialName = PictureFileData.FileName;
  auto chosen = plat::FileDialog(this, req);
  if (!chosen) return;
  PictureFileData.FileName = *chosen;
  if (std::int16_t code = OpenPicture(); code != 0) ShowMessageById(code);
}

void TPreWin::CmPastePicture() {
  bool tooLarge = false;
  plat::Bitmap pasted = plat::clipboard::GetBitmap(&tooLarge);
  if (tooLarge) {
    ShowMessageById(11);
    return;
  }
  if (pasted.IsNull()) {
    ShowMessageById(5);  // "keine Grafik in der Ablage"
    return;
  }
  FreePicture();
  Picture = std::move(pasted);
  PictureFromFile = 0;
  PictureChanged();
}

void TPreWin::CePastePicture(plat::CommandEnabler& ce) { ce.Enable(plat::clipboard::HasBitmap()); }

void TPreWin::CmRemovePicture() {
  FreePicture();
  InvalidateBackBuffer(PaintBufferIndex);
  Invalidate(false);
}

void TPreWin::CeRemovePicture(plat::CommandEnabler& ce) { ce.Enable(HasPicture()); }

bool TPreWin::Save() {
  if (!TFontWin::Save()) return false;
  if (Picture.IsNull() || PictureFromFile) return true;
  std::string companion;
  if (!MakePictureFileName(companion, FileData.FileName)) return true;
  std::string part;
  GetFileNamePart(part, companion);
  if (RunMessageDialog("", plat::res::String(20) + " " + part + "?", 1) != plat::IDYES) return true;
  PictureFileData.FileName = companion;
  // The plot file is saved; a picture that cannot be written is reported.
  if (!Picture.WriteBmpFile(companion)) ShowMessageById(12);
  return true;
}

}  // namespace kv
