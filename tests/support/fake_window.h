// A window that records what the calculator core sets on it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ui/window_port.h"

struct FakeWindow {
  std::wstring display;
  std::wstring title;
  std::map<int, std::wstring> keyTexts;
  std::wstring clipboard;
  // One entry per port call, in order: "display", "title", "key 1022", "focus",
  // "read clipboard", "write clipboard".
  std::vector<std::string> calls;
  bool foreignHandleSeen = false;  // a call came with a handle other than this window's
};

extern FakeWindow g_fakeWindow;

inline WindowHandle FakeHandle() { return &g_fakeWindow; }
void ResetFakeWindow();
