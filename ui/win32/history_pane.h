// The history pane: an owner-drawn list box right of the keypad, made when first shown so
// that the window at start holds only the display and the keys.
#pragma once

#include <deque>

#include "calculator/history_entry.h"
#include "ui/win32/win32.h"

// The pane's control id, beside kDisplayId and the key ids.
inline constexpr int kHistoryPaneId = 1100;

// The width it takes from the client area: 0 while hidden or not yet made.
int HistoryPaneWidth();
void LayOutHistoryPane(int clientWidth, int clientHeight);
bool IsHistoryPane(HWND control);
void MeasureHistoryItem(MEASUREITEMSTRUCT& item);
void PaintHistoryItem(const DRAWITEMSTRUCT& item);

// The entries the items draw.
void ListHistoryEntries(const std::deque<HistoryEntry>& entries);
// Shows or hides the pane; the window grows or shrinks by its width.
void ShowHistory(HWND window, bool shown);
// The keyboard focus to the shown pane, its newest entry selected.
void FocusHistory();
