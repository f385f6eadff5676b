// The keyboard as the core hears it: Windows virtual-key values, which name physical keys
// (the Linux window maps its keys to them), and the modifiers held with a key.
#pragma once

inline constexpr int kVkBackspace = 0x08;
inline constexpr int kVkTab = 0x09;
inline constexpr int kVkEnter = 0x0D;
inline constexpr int kVkEscape = 0x1B;
inline constexpr int kVkPageUp = 0x21;
inline constexpr int kVkPageDown = 0x22;
inline constexpr int kVkEnd = 0x23;
inline constexpr int kVkHome = 0x24;
inline constexpr int kVkLeft = 0x25;
inline constexpr int kVkUp = 0x26;
inline constexpr int kVkRight = 0x27;
inline constexpr int kVkDown = 0x28;
inline constexpr int kVkInsert = 0x2D;
inline constexpr int kVkDelete = 0x2E;
inline constexpr int kVkDigit0 = 0x30;  // to 0x39 for "9"
inline constexpr int kVkA = 0x41;
inline constexpr int kVkC = 0x43;
inline constexpr int kVkH = 0x48;
inline constexpr int kVkV = 0x56;
inline constexpr int kVkX = 0x58;
inline constexpr int kVkY = 0x59;
inline constexpr int kVkZ = 0x5A;
inline constexpr int kVkApps = 0x5D;     // the Menu key
inline constexpr int kVkNumpad0 = 0x60;  // to 0x69
inline constexpr int kVkDecimal = 0x6E;  // the numeric keypad's decimal key
inline constexpr int kVkF1 = 0x70;
inline constexpr int kVkF6 = 0x75;
inline constexpr int kVkF10 = 0x79;

// The modifier keys held at a key-down, as a set of bits.
enum KeyModifier : unsigned {
  kNoModifier = 0,
  kShiftHeld = 1,
  kControlHeld = 2,
  kAltHeld = 4,  // AltGr arrives as Control and Alt together
};
