// Rand: random numbers, the same range on every platform.
#pragma once

#include <string>

#include "calculator/window_port.h"

// The text Rand shows for a draw r of 0..32767: r / 32767 with 6 significant digits.
std::wstring RandomText(int draw);
// A uniform draw of 0..32767.
int DrawRandom();
void SeedRandom(unsigned seed);
// The Rand key: a new draw in place of the whole text.
void ShowRandomNumber(WindowHandle window);
