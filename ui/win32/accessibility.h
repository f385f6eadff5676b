// What screen readers hear about a control beyond its window text.
#pragma once

#include <string>

#include "ui/win32/win32.h"

// COM on the GUI thread, before the first control is described; StopAccessibility after
// the message loop.
void StartAccessibility();
void StopAccessibility();
// The control's accessible description (none for an empty one), where the system offers
// Dynamic Annotation; elsewhere nothing happens.
void DescribeControl(HWND control, const std::wstring& description);
// The control's accessible keyboard shortcut (accKeyboardShortcut), the same way.
void SetControlShortcut(HWND control, const std::wstring& shortcut);

// The keys' tooltips: one tooltip control for the window, one tool per key; destroyed
// with the window.
void CreateKeyTips(HWND window);
void DestroyKeyTips();
void SetKeyTip(HWND key, const std::wstring& text);

// The display as a polite live region: screen readers speak its text when told it
// changed, though it never has the focus.
void MakeLiveRegion(HWND control);
void AnnounceLiveRegion(HWND control);
// Any other text, where the system offers UI Automation notifications; elsewhere nothing.
void AnnounceText(HWND window, const std::wstring& text);
