// Whether the history is being saved, and if not why: what saved_history.cpp found out,
// kept down here for the title and the context menu to say.
#pragma once

#include <string>
#include <string_view>

#include "calculator/storage.h"

extern StorageFault g_saveFault;   // the last save failed so; kNone while saving works
extern bool g_settingsUnreadable;  // keeping is off because the settings could not be read

// What the title says after the memory mark, empty while saving works:
// "历史记录无法保存：磁盘已满", "设置无法读取：历史记录暂不保存".
std::wstring SaveNotice();
// The reason alone, as the menu's "保存历史记录" item gives it: "磁盘已满"; empty while saving
// works.
std::wstring_view SaveNoticeReason();
