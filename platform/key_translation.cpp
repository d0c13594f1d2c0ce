// Keyboard and mouse input in the program's terms: a toolkit key event as
// virtual key, modifiers and typed character, and the mouse buttons and
// modifier keys as the key state of a mouse message.
#include <QKeyEvent>
#include <QString>

#include "platform/keys.h"
#include "platform/window_impl.h"

namespace plat {

void TranslateKey(const QKeyEvent* e, unsigned& vk, unsigned& modifiers, unsigned& ch) {
  vk = 0;
  ch = 0;
  modifiers = 0;
  Qt::KeyboardModifiers m = e->modifiers();
  if (m & Qt::ShiftModifier) modifiers |= MOD_SHIFT;
  if (m & Qt::ControlModifier) modifiers |= MOD_CONTROL;
  if (m & Qt::AltModifier) modifiers |= MOD_ALT;
  int k = e->key();
  if (k >= Qt::Key_A && k <= Qt::Key_Z) vk = static_cast<unsigned>('A' + (k - Qt::Key_A));
  else if (k >= Qt::Key_0 && k <= Qt::Key_9) vk = static_cast<unsigned>('0' + (k - Qt::Key_0));
  else if (k >= Qt::Key_F1 && k <= Qt::Key_F12) vk = VK_F1 + static_cast<unsigned>(k - Qt::Key_F1);
  else {
    switch (k) {
      case Qt::Key_Left: vk = VK_LEFT; break;
      case Qt::Key_Right: vk = VK_RIGHT; break;
      case Qt::Key_Up: vk = VK_UP; break;
      case Qt::Key_Down: vk = VK_DOWN; break;
      case Qt::Key_PageUp: vk = VK_PRIOR; break;
      case Qt::Key_PageDown: vk = VK_NEXT; break;
      case Qt::Key_Home: vk = VK_HOME; break;
      case Qt::Key_End: vk = VK_END; break;
      case Qt::Key_Insert: vk = VK_INSERT; break;
      case Qt::Key_Delete: vk = VK_DELETE; break;
      case Qt::Key_Escape: vk = VK_ESCAPE; break;
      case Qt::Key_Return:
      case Qt::Key_Enter: vk = VK_RETURN; break;
      case Qt::Key_Space: vk = VK_SPACE; break;
      case Qt::Key_Tab: vk = VK_TAB; break;
      case Qt::Key_Backspace: vk = VK_BACK; break;
      case Qt::Key_Plus: vk = VK_ADD; break;
      case Qt::Key_Minus: vk = VK_SUBTRACT; break;
      case Qt::Key_Pause: vk = VK_PAUSE; break;
      default: break;
    }
  }
  QString t = e->text();
  if (!t.isEmpty() && !(modifiers & (MOD_CONTROL | MOD_ALT))) {
    char32_t c = t.toUcs4().value(0);
    if (c >= 32 || c == 8 || c == 9 || c == 13 || c == 27) ch = static_cast<unsigned>(c);
  }
}

unsigned MouseKeysOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
  unsigned k = 0;
  if (buttons & Qt::LeftButton) k |= MK_LBUTTON;
  if (buttons & Qt::RightButton) k |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) k |= MK_MBUTTON;
  if (mods & Qt::ShiftModifier) k |= MK_SHIFT;
  if (mods & Qt::ControlModifier) k |= MK_CONTROL;
  return k;
}

}  // namespace plat
