// The window the calculator fuzzer runs the core on: keeps what was set, counts the calls.
#pragma once

#include <array>
#include <string>

#include "ui/keypad.h"
#include "ui/window_port.h"

struct FuzzWindow {
  std::wstring display;
  std::wstring title;
  std::array<std::wstring, kLastKeyId - kFirstKeyId + 1> keyTexts;
  std::wstring clipboard;
  // Port calls since the counters were last cleared.
  int displayCalls = 0;
  int titleCalls = 0;
  int keyCalls = 0;
  int focusCalls = 0;
  int clipboardReads = 0;
  int clipboardWrites = 0;
  bool focusedLast = false;      // the latest call was the focus call
  bool foreignHandle = false;    // a call came with another handle than this window's
  bool unknownKey = false;       // SetKeyText with an id that is no key
};

extern FuzzWindow g_window;

inline WindowHandle FuzzHandle() { return &g_window; }

// A window as it is created: display "0", the bare title, every key's first label.
void ResetFuzzWindow();
void ClearCallCounts();
