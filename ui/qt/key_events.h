// A Qt key press as the core takes it: the Windows key code of the key and the modifiers.
#pragma once

class QEvent;
class QKeyEvent;

// The key code of the keys the core answers to, 0 for the others. A key that carries a
// digit on any shift level is that digit's key, whatever its current level types.
int VirtualKeyOf(const QKeyEvent& event);
unsigned ModifiersOf(const QKeyEvent& event);
// Tab or Shift+Tab pressed: Qt would move the focus along its chain before any
// keyPressEvent saw the key.
bool IsTabPress(const QEvent& event);
