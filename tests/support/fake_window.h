// The window the core's tests and fuzzers run it on: records what the core sets on it,
// call by call.
#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/window_port.h"

struct FakeWindow {
  std::wstring display;
  std::size_t caret = 1;   // as the display shows them: at the end of "0"
  std::size_t anchor = 1;
  std::wstring title;
  bool lineShown = false;  // the expression line
  std::wstring line;
  std::map<int, std::wstring> keyTexts;  // by key id
  std::map<int, std::wstring> keyDescriptions;
  std::map<int, std::wstring> keyShortcuts;
  std::wstring clipboard;
  std::deque<HistoryEntry> history;  // as the pane lists it
  std::vector<std::wstring> announced;  // what screen readers were asked to speak
  bool historyShown = false;
  bool alwaysOnTop = false;
  int retryTimerMs = 0;  // the retry timer runs with this delay; 0: it does not
  // One entry per port call, in order: "display", "line", "title", "key 1022", "focus", "beep",
  // "announce", "read clipboard", "write clipboard", "history", "pane", "on top", "to pane",
  // "help", "retry timer", "stop retry timer".
  std::vector<std::string> calls;
  bool foreignHandleSeen = false;  // a call came with a handle other than this window's
  bool unknownKeySeen = false;     // a key text was set for an id that is no key

  // How many of the calls since they were last cleared start with this word.
  int CountCalls(std::string_view word) const;
};

extern FakeWindow g_fakeWindow;

inline WindowHandle FakeHandle() { return &g_fakeWindow; }
// The retry timer goes off, as the window's would: once, and only while it runs.
void FireRetryTimer();
// As a window program creates its window: the start text, the bare title, every key's
// first label and description.
void ResetFakeWindow();
