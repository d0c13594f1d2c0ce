#include "graphics/zor_winm.h"

#include <algorithm>

#include "graphics/label_geometry.h"
#include "graphics/picture_dialog.h"
#include "platform/clipboard.h"
#include "platform/common_dialogs.h"
#include "platform/emf_player.h"
#include "platform/emf_writer.h"
#include "platform/resources.h"
#include "shell/generic_dialogs.h"
#include "shell/text_helpers.h"

namespace kv {

namespace {

// The characters the description of a metafile may take from the window.
constexpr int kMaxDescriptionChars = 39;

}  // namespace

TZORWinm::TZORWinm(plat::Window* parent, const std::string& title) : TZORWint(parent, title) {
  EmfFileData.Filter = TruncateChars(plat::res::String(99), 79);
  EmfFileData.DefaultExt = "emf";
}

TZORWinm::~TZORWinm() = default;

const plat::CommandTable& TZORWinm::Commands() const {
  static const auto table = plat::CommandTable::Build<TZORWinm>(
      &TZORWint::Commands(), {
                                 {kCmCopyMetafile, &TZORWinm::CmCopyMetafile, &TZORWinm::CeMetafile},
                                 {kCmEmfFile, &TZORWinm::CmEmfFile, &TZORWinm::CeMetafile},
                                 {kCmHighResolution, &TZORWinm::CmHighResolution, &TZORWinm::CeMetafile},
                             });
  return table;
}

void TZORWinm::Destroy() {
  if (IsDestroyed()) return;
  FreePictures(Pictures);
  TZORWint::Destroy();
}

void TZORWinm::UpdateMenuChecks(bool drawMenuBar) {
  if (IsCreated() && HasMenuItem(kCmHighResolution)) CheckMenu(kCmHighResolution, HighResolution != 0);
  TZORWint::UpdateMenuChecks(drawMenuBar);
}

void TZORWinm::Paint(plat::DC& dc, bool erase, const plat::Rect& rect) {
  if (ClientSizeChanged()) UpdateView();
  const int index = PaintBufferIndex < 0 ? 0 : (PaintBufferIndex > 2 ? 2 : PaintBufferIndex);
  plat::Bitmap& buffer = BackBuffers[static_cast<std::size_t>(index)];
  const bool sizeDiffers = buffer.IsNull() || buffer.Width() != ClientWidth || buffer.Height() != ClientHeight;
  // One picture in one buffer: any layer's buffer going stale makes it stale.
  const bool stale = sizeDiffers || !BufferValid[0] || !BufferValid[1] || !BufferValid[2] || !PlotBufferValid ||
                     SettingsChanged;
  if (stale) {
    if (sizeDiffers) {
      CreateBackBuffers(index, dc);
    }
    plat::BitmapDC bdc(buffer);
    bdc.SetCaps(dc.Caps());
    if (!sizeDiffers) PaintBackground(bdc);
    DrawPicture(bdc);
    BufferValid.fill(1);
    PlotBufferValid = 1;
  }
  BlitBackBuffer(index, dc);
}

void TZORWinm::DrawPicture(plat::DC& dc) {
  DrawFrame(dc);
  DrawAxes(dc);
  DrawTexts(dc, TextLabels, 0);
  DrawTexts(dc, TermLabels, 0);
  DrawPictures(dc);
}

// ---- commands ----

void TZORWinm::CmHighResolution() {
  HighResolution = HighResolution ? 0 : 1;
  UpdateMenuChecks(false);
}

// ---- metafiles of the plot ----

std::string TZORWinm::MetafileFileName() const {
  std::string name = FileData.FileName;
  const std::size_t slash = name.find_last_of("/\\");
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) name.erase(dot);
  return name + ".emf";
}

plat::EnhMetafile TZORWinm::RecordMetafile(int scale) {
  scale = std::max(scale, 1);
  plat::DeviceCaps caps;
  {
    plat::ClientDC client(*this);
    caps = client.Caps();
  }
  const plat::Rect frame = MetafileFrame(caps, ClientWidth, ClientHeight, scale);
  const std::string description =
      plat::EmfDescription(TruncateChars(MetafileDescription, kMaxDescriptionChars), FileData.FileName);
  plat::EmfDC dc(caps, frame, description);
  // The plot draws its frame with the rest of the picture, at the scale.
  ScaleFontsForPrinter(true, scale * 72);
  MetafileHook(dc, scale);
  ScaleFontsForPrinter(false, scale * 72);
  return dc.Close();
}

void TZORWinm::RenderToMetafile(bool toClipboard) {
  const int scale = HighResolution ? kHighResolutionScale : 1;
  std::string path;
  if (!toClipboard) {
    plat::FileDialogRequest r;
    r.save = true;
    r.filter = EmfFileData.Filter;
    r.defaultExtension = EmfFileData.DefaultExt;
    r.initialName = MetafileFileName();
    const std::optional<std::string> chosen = plat::FileDialog(this, r);
    if (!chosen || chosen->empty() || !ConfirmOverwrite(*chosen)) return;
    path = *chosen;
  }
  const plat::EnhMetafile m = RecordMetafile(scale);
  if (toClipboard) {
    if (!plat::clipboard::SetMetafile(m)) ShowMessageById(19);
  } else if (!m.WriteFile(path)) {
    ShowMessageById(12);
  }
}

// ---- embedded pictures ----

void TZORWinm::PictureToAbsolute(TPictureRecord& p) {
  if (p.binding < 0) return;
  const TPoint2D r = GetBindingPoint(p.binding);
  p.xmin += r.x;
  p.xmax += r.x;
  p.ymin += r.y;
  p.ymax += r.y;
}

void TZORWinm::PictureToRelative(TPictureRecord& p) {
  if (p.binding < 0) return;
  const TPoint2D r = GetBindingPoint(p.binding);
  p.xmin -= r.x;
  p.xmax -= r.x;
  p.ymin -= r.y;
  p.ymax -= r.y;
}

namespace {

// The device rectangle of an absolute picture, not cut to the view: a
// picture partly outside keeps its proportions and is clipped when drawn.
plat::Rect DeviceRect(const TViewMapping& v, const TPictureRecord& p) {
  return {RoundToInt(v.WorldToDeviceX(p.xmin)), RoundToInt(v.WorldToDeviceY(p.ymax)),
          RoundToInt(v.WorldToDeviceX(p.xmax)), RoundToInt(v.WorldToDeviceY(p.ymin))};
}

}  // namespace

void TZORWinm::DrawPictures(plat::DC& dc) {
  if (Pictures.empty()) return;
  const plat::Colour colour = GetColour(ColourSlots[0]);
  const bool background = !ScaleLineWidths || WithBackground;
  // All the metafiles share one budget of decoded pixels and drawing work,
  // so that a file of many large pictures keeps no paint long.
  plat::EmfPlayBudget budget;
  for (const TPictureRecord& p : Pictures) {
    TPictureRecord a = p;
    PictureToAbsolute(a);
    const plat::Rect r = DeviceRect(*this, a);
    if (!a.transparent && background) {
      const plat::Pen pen = dc.SelectPen(plat::Pen{plat::PS_SOLID, 1, colour});
      const plat::Brush brush = dc.SelectBrush(plat::SolidBrush(colour));
      dc.Rectangle(r.left, r.top, r.right, r.bottom);
      dc.SelectBrush(brush);
      dc.SelectPen(pen);
    }
    // Bytes that do not make a metafile draw nothing.
    if (const auto m = plat::EnhMetafile::FromBytes(p.metafile)) plat::PlayEnhMetafile(dc, *m, r, &budget);
  }
}

int TZORWinm::HitTestPicture(plat::Point p, plat::Point& offset, plat::Size& size) {
  for (std::size_t k = 0; k < Pictures.size(); ++k) {
    TPictureRecord a = Pictures[k];
    PictureToAbsolute(a);
    const plat::Rect r = DeviceRect(*this, a);
    const plat::Point o{p.x - r.left, p.y - r.top};
    const plat::Size s{r.right - r.left, r.bottom - r.top};
    if (o.x >= 0 && o.x < s.cx && o.y >= 0 && o.y < s.cy) {
      offset = o;
      size = s;
      return static_cast<int>(k);
    }
  }
  return -1;
}

bool TZORWinm::DragPicture(int x, int y) {
  plat::Point offset;
  plat::Size size;
  const int hit = HitTestPicture({x, y}, offset, size);
  if (hit < 0) return false;
  const plat::Point start{x - offset.x, y - offset.y};
  const plat::Point end = DragRubberBand(start, offset, size, 0);
  if (end == start) return true;
  TPictureRecord& p = Pictures[static_cast<std::size_t>(hit)];
  PictureToAbsolute(p);
  const long double width = p.xmax - p.xmin;
  const long double height = p.ymax - p.ymin;
  p.xmin = PixelToWorldX(end.x);
  p.ymax = PixelToWorldY(end.y);
  p.xmax = p.xmin + width;
  p.ymin = p.ymax - height;
  PictureToRelative(p);
  Modified = 1;
  RedrawPlacedObjects();
  return true;
}

std::optional<plat::EnhMetafile> TZORWinm::PasteMetafile() {
  std::optional<plat::EnhMetafile> m = plat::clipboard::GetEnhMetafile();
  if (!m || m->IsNull()) return std::nullopt;
  return m;
}

void TZORWinm::RemovePicture(int position) {
  if (position < 0 || position >= static_cast<int>(Pictures.size())) return;
  Pictures.erase(Pictures.begin() + position);
}

void TZORWinm::EditPictureAtPoint(int x, int y) {
  plat::Point offset;
  plat::Size size;
  const int hit = HitTestPicture({x, y}, offset, size);
  if (hit < 0) {
    const std::optional<plat::EnhMetafile> m = PasteMetafile();
    if (!m) {
      ShowMessageById(5);
      return;
    }
    // The plot file holds no more pictures than this: one more would be
    // left out of the next save.
    if (Pictures.size() >= static_cast<std::size_t>(kMaxPictures)) {
      ShowMessageById(4);  // "kein Platz mehr"
      return;
    }
    plat::DeviceCaps caps;
    {
      plat::ClientDC client(*this);
      caps = client.Caps();
    }
    const plat::Size natural = PictureNaturalSize(m->Header().frame, caps);
    const plat::Size fitted = FitPictureAt(natural, {x, y}, ClientWidth, ClientHeight);
    TPictureRecord r;
    r.metafile = m->Bits();
    r.index = Pictures.empty() ? 0 : Pictures.back().index + 1;
    r.binding = -1;
    r.transparent = 1;
    r.xmin = PixelToWorldX(x);
    r.xmax = PixelToWorldX(x + fitted.cx);
    r.ymax = PixelToWorldY(y);
    r.ymin = PixelToWorldY(y + fitted.cy);
    Pictures.push_back(std::move(r));
    Modified = 1;
    RedrawPlacedObjects();
    return;
  }
  TPictureRecord& p = Pictures[static_cast<std::size_t>(hit)];
  PictureToAbsolute(p);
  TMetaDlg dlg(*this, p);
  if (dlg.Execute() == plat::IDOK) {
    const int action = dlg.Action();
    if (action == kPictureCopy || action == kPictureCut) {
      const auto m = plat::EnhMetafile::FromBytes(p.metafile);
      if (!m || !plat::clipboard::SetMetafile(*m)) {
        // A cut that could not copy keeps the picture: it would be lost.
        ShowMessageById(19);  // "nicht zu kopieren"
        PictureToRelative(p);
        return;
      }
    }
    if (action == kPictureDelete || action == kPictureCut) {
      RemovePicture(hit);
      Modified = 1;
      RedrawPlacedObjects();
      return;
    }
    if (action == kPictureApply) {
      Modified = 1;
      RedrawPlacedObjects();
    }
  }
  PictureToRelative(p);
}

}  // namespace kv
