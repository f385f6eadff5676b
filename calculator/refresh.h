// The two refresh operations that end every calculator action, and the rules behind them.
#pragma once

#include <string>
#include <string_view>

#include "calculator/keypad.h"
#include "calculator/window_port.h"

inline constexpr std::wstring_view kWindowTitle = L"Vorlane-计算器";
inline constexpr std::wstring_view kMemoryMark = L"   [M]";
// Between the mark and the notice of a history that cannot be saved (SaveNotice).
inline constexpr std::wstring_view kNoticeSeparator = L" — ";

// Shows g_expr (and, while it is on, the expression line) and renews the title's memory
// mark.
void UpdateDisplay(WindowHandle window);
// UpdateDisplay, and screen readers speak the new text: for the changes that no key's
// echo says already (a result, a recalled, drawn, pasted or chosen number, all clear).
void UpdateDisplayAloud(WindowHandle window);
// Sets every key's text and description for the current second-function and angle modes,
// and renews the expression line, which follows the angle mode.
void RefreshButtonLabels(WindowHandle window);
// Shows or hides the expression line with its text for the current state.
void RefreshExpressionLine(WindowHandle window);

// What the expression line says: "12+4*5 =" while the text is the result that "=" wrote,
// else "= " and what "=" would give for the text; nothing where "=" would leave the text
// alone, give it back unchanged or fail.
std::wstring ExpressionLine();
// Renews the title alone: the saved history's notice came or went.
void UpdateTitle(WindowHandle window);

// The title for the current memory register, and while the history cannot be saved the
// notice why.
std::wstring WindowTitle();
// The text a key shows in the current modes, and what it then does.
const std::wstring& KeyText(const ButtonDef& key);
const std::wstring& KeyDescription(const ButtonDef& key);
// What to type for the key in the current mode; empty for keys that cannot be typed.
std::wstring KeyShortcut(const ButtonDef& key);
// The tooltip of a key: what it does, then what to type for it.
std::wstring KeyToolTip(std::wstring_view description, std::wstring_view shortcut);
