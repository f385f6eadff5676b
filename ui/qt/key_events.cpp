#include "ui/qt/key_events.h"

#include <QKeyEvent>

#include "calculator/key_codes.h"
#include "ui/qt/keymap.h"

unsigned ModifiersOf(const QKeyEvent& e) {
  unsigned held = kNoModifier;
  if (e.modifiers() & Qt::ShiftModifier) held |= kShiftHeld;
  if (e.modifiers() & Qt::ControlModifier) held |= kControlHeld;
  if (e.modifiers() & Qt::AltModifier) held |= kAltHeld;
  return held;
}

int VirtualKeyOf(const QKeyEvent& e) {
  // X11 and Wayland report the keycode; sources that report 0 go by Qt's key.
  if (const int digit = KeymapDigit(e); digit >= 0) return kVkDigit0 + digit;
  const int key = e.key();
  const bool keypad = (e.modifiers() & Qt::KeypadModifier) != 0;
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kVkEnter;
    case Qt::Key_Escape:
      return kVkEscape;
    case Qt::Key_Backspace:
      return kVkBackspace;
    case Qt::Key_Insert:
      return kVkInsert;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return kVkTab;
    case Qt::Key_Delete:
      return kVkDelete;
    case Qt::Key_Menu:
      return kVkApps;
    case Qt::Key_F1:
      return kVkF1;
    case Qt::Key_F6:
      return kVkF6;
    case Qt::Key_F10:
      return kVkF10;
    case Qt::Key_Left:
      return kVkLeft;
    case Qt::Key_Right:
      return kVkRight;
    case Qt::Key_Up:
      return kVkUp;
    case Qt::Key_Down:
      return kVkDown;
    case Qt::Key_Home:
      return kVkHome;
    case Qt::Key_End:
      return kVkEnd;
    case Qt::Key_PageUp:
      return kVkPageUp;
    case Qt::Key_PageDown:
      return kVkPageDown;
    // The letters of the Ctrl shortcuts. Qt names a letter key by what the layout types,
    // so Ctrl+Z is the Z of AZERTY and QWERTZ as on Windows.
    case Qt::Key_A:
      return kVkA;
    case Qt::Key_C:
      return kVkC;
    case Qt::Key_H:
      return kVkH;
    case Qt::Key_V:
      return kVkV;
    case Qt::Key_X:
      return kVkX;
    case Qt::Key_Y:
      return kVkY;
    case Qt::Key_Z:
      return kVkZ;
    case Qt::Key_Period:
    case Qt::Key_Comma:
      // The keypad's separator is KP_Decimal or KP_Separator by layout.
      return keypad ? kVkDecimal : 0;
    default:
      if (key < Qt::Key_0 || key > Qt::Key_9) return 0;
      return (keypad ? kVkNumpad0 : kVkDigit0) + (key - Qt::Key_0);
  }
}

bool IsTabPress(const QEvent& event) {
  if (event.type() != QEvent::KeyPress) return false;
  const int key = static_cast<const QKeyEvent&>(event).key();
  return key == Qt::Key_Tab || key == Qt::Key_Backtab;
}
