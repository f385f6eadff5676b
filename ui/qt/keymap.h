// The keyboard's keymap as the window's key events come with it: X11 reads it from the
// X server, Wayland from the compositor (a virtual keyboard brings its own), other
// platforms take the environment's default layout.
#pragma once

class QKeyEvent;

// Starts following the keymap. Call once the application exists: on Wayland the keymap
// arrives later, with the compositor's next events.
void WatchKeymap();

// The digit 0 to 9 that the pressed key carries on any of its shift levels, or -1 when it
// carries none or no keymap is known. The keypad's digits are no digits here.
int KeymapDigit(const QKeyEvent& event);
