// A Qt key press as the core takes it: the Windows key code of the key and the modifiers.
#pragma once

class QKeyEvent;

// The key code of the keys the core answers to, 0 for the others. The top-row digit keys
// are known by their physical key, whatever the layout types with them.
int VirtualKeyOf(const QKeyEvent& event);
unsigned ModifiersOf(const QKeyEvent& event);
