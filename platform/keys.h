// Virtual key codes and modifier bits used by accelerators, key messages and
// the keyboard poll.  The numeric values are the ones the program's key
// handling and help texts refer to.
#pragma once

namespace plat {

enum VirtualKey : unsigned {
  VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
  VK_MENU = 0x12, VK_PAUSE = 0x13, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
  VK_PRIOR = 0x21,  // "Bild auf"
  VK_NEXT = 0x22,   // "Bild ab"
  VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
  VK_INSERT = 0x2D, VK_DELETE = 0x2E,
  VK_ADD = 0x6B, VK_SUBTRACT = 0x6D,
  VK_F1 = 0x70, VK_F2, VK_F3, VK_F4, VK_F5, VK_F6, VK_F7, VK_F8, VK_F9, VK_F10, VK_F11, VK_F12,
};
// Letters and digits use their upper-case ASCII code as virtual key.

enum ModifierBits : unsigned {
  MOD_NONE = 0,
  MOD_SHIFT = 1,
  MOD_CONTROL = 2,
  MOD_ALT = 4,
};

// Mouse-message key state bits (as passed to the mouse handlers).
enum MouseKeyBits : unsigned {
  MK_LBUTTON = 0x01,
  MK_RBUTTON = 0x02,
  MK_SHIFT = 0x04,
  MK_CONTROL = 0x08,
  MK_MBUTTON = 0x10,
};

}  // namespace plat
