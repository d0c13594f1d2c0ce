#include "graphics/zor_winm.h"

namespace kv {

TZORWinm::TZORWinm(plat::Window* parent, const std::string& title) : TZORWint(parent, title) {}

TZORWinm::~TZORWinm() = default;

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
}

}  // namespace kv
