#include "calculator/save_status.h"

StorageFault g_saveFault = StorageFault::kNone;
bool g_settingsUnreadable = false;

namespace {

constexpr struct {
  StorageFault fault;
  std::wstring_view reason;
} kFaultReasons[] = {
    {StorageFault::kNoSpace, L"磁盘已满"},
    {StorageFault::kNoPermission, L"没有写入权限"},
    {StorageFault::kLocked, L"被其他程序锁定"},
    {StorageFault::kOther, L"读写错误"},
};

constexpr std::wstring_view kUnsavedHistory = L"历史记录无法保存：";
constexpr std::wstring_view kSettingsReason = L"设置无法读取";
constexpr std::wstring_view kSettingsNotice = L"设置无法读取：历史记录暂不保存";

}  // namespace

std::wstring_view SaveNoticeReason() {
  for (const auto& row : kFaultReasons) {
    if (row.fault == g_saveFault) return row.reason;
  }
  return g_settingsUnreadable ? kSettingsReason : std::wstring_view{};
}

std::wstring SaveNotice() {
  std::wstring notice;
  if (g_saveFault != StorageFault::kNone) {
    notice = kUnsavedHistory;
    notice += SaveNoticeReason();
  } else if (g_settingsUnreadable) {
    notice = kSettingsNotice;
  }
  return notice;
}
