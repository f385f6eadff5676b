// The history across restarts: what this window changed is merged into the saved file
// under the storage's lock, so that two windows open at once keep each other's entries;
// and the "保存历史记录" setting, saved beside it.
#pragma once

#include <chrono>

#include "calculator/history_entry.h"
#include "calculator/window_port.h"

class Storage;

extern bool g_keepHistory;  // saved across restarts ("保存历史记录")

// At the window's start: reads the settings and the saved history from storage and shows
// it, and saves every later change there. A history file that cannot be read whole is set
// aside and what could be read is saved anew; settings that cannot be read are copied
// aside, and keep the history unsaved until the user chooses again. Without storage
// (nullptr) nothing is saved. Never waits for the lock.
//
// A save that fails keeps the changes for the next: the window's retry timer tries again,
// and the title and the menu say why (save_status.h) until a save succeeds. A lock that
// another program holds only counts as a failure once it has been out of reach for 5 s.
void StartSavedHistory(WindowHandle window, Storage* storage);
// What history.cpp tells the saved history after each change it made to g_history.
void StampNewEntry(HistoryEntry& entry);  // its creation time and this window's id
void SaveAddedEntry(WindowHandle window, const HistoryEntry& entry);
void SaveDeletedEntry(WindowHandle window, const HistoryEntry& entry);
void SaveClearedHistory(WindowHandle window);
// The expression line on or off, saved with the settings.
void ToggleExpressionLine(WindowHandle window);
// Off removes the saved history and saves none until it is on again.
void ToggleKeepHistory(WindowHandle window);
// The window's retry timer went off (StartRetryTimer).
void RetrySaving(WindowHandle window);
// The window closes or the session ends: one more try at what is still unsaved, waiting
// for the lock a little, so that the whole takes well under a second.
void SaveBeforeClosing(WindowHandle window);
// No storage, keeping on, nothing unsaved, saving works.
void ResetSavedHistory();

// The clock by which the lock has been out of reach for how long; the tests set their own
// (nullptr: the steady clock again).
void SetSavingClock(std::chrono::steady_clock::time_point (*now)());
