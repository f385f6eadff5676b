// The history across restarts: what this window changed is merged into the saved file
// under the storage's lock, so that two windows open at once keep each other's entries;
// and the "保存历史记录" setting, saved beside it.
#pragma once

#include "calculator/history_entry.h"
#include "calculator/window_port.h"

class Storage;

extern bool g_keepHistory;  // saved across restarts ("保存历史记录")

// At the window's start: reads the settings and the saved history from storage and shows
// it, and saves every later change there. A file that cannot be read whole is set aside
// and what could be read is saved anew. Without storage (nullptr) nothing is saved. A
// failed save changes nothing shown: the next change tries again.
void StartSavedHistory(WindowHandle window, Storage* storage);
// What history.cpp tells the saved history after each change it made to g_history.
void StampNewEntry(HistoryEntry& entry);  // its creation time and this window's id
void SaveAddedEntry(WindowHandle window, const HistoryEntry& entry);
void SaveDeletedEntry(WindowHandle window, const HistoryEntry& entry);
void SaveClearedHistory(WindowHandle window);
// Off removes the saved history and saves none until it is on again.
void ToggleKeepHistory(WindowHandle window);
// No storage, keeping on, nothing unsaved.
void ResetSavedHistory();
