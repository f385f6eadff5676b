#include "ui/win32/modifiers.h"

#include "calculator/key_codes.h"
#include "ui/win32/win32.h"

namespace {

bool IsDown(int virtualKey) { return GetKeyState(virtualKey) < 0; }

}  // namespace

unsigned HeldModifiers() {
  unsigned modifiers = kNoModifier;
  if (IsDown(VK_SHIFT)) modifiers |= kShiftHeld;
  if (IsDown(VK_CONTROL)) modifiers |= kControlHeld;
  if (IsDown(VK_MENU)) modifiers |= kAltHeld;
  return modifiers;
}
