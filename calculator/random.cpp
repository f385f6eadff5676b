#include "calculator/random.h"

#include <random>

#include "calculator/editing.h"
#include "engine/engine.h"

namespace {

// The Mersenne Twister's output is fixed by the C++ standard, so the same seed gives
// the same draws with every standard library; rand() and the distributions are not.
std::mt19937 g_randomEngine;

constexpr int kDrawBits = 15;
constexpr double kLargestDraw = 32767.0;
constexpr int kRandomPrecision = 6;

}  // namespace

void SeedRandom(unsigned seed) { g_randomEngine.seed(seed); }

int DrawRandom() {
  // The top bits of a 32-bit output are as uniform as any.
  return static_cast<int>(g_randomEngine() >> (32 - kDrawBits));
}

std::wstring RandomText(int draw) { return FormatGeneral(draw / kLargestDraw, kRandomPrecision); }

void ShowRandomNumber(WindowHandle window) { ShowNumber(window, RandomText(DrawRandom())); }
