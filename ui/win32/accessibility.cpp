#include "ui/win32/accessibility.h"

// The GUIDs of oleacc.h are defined here rather than taken from a library that may lack them.
#include <initguid.h>
#include <oleacc.h>

#include <commctrl.h>

#include "calculator/keypad.h"

// What MinGW-w64's headers lack, from the documented values.
#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
#define EVENT_OBJECT_LIVEREGIONCHANGED 0x8019
#endif
DEFINE_GUID(kLiveSettingProperty, 0xc12bcd8e, 0x2a8e, 0x4950, 0x8a, 0xe7, 0x36, 0x25, 0x11,
            0x1d, 0x58, 0xeb);

namespace {

constexpr LONG kLivePolite = 1;

// UI Automation's notifications exist from Windows 10 1709 on, so they are looked up
// when needed rather than imported.
struct UiaProvider;
using HostProviderFromHwnd = HRESULT(WINAPI*)(HWND, UiaProvider**);
using RaiseNotificationEvent = HRESULT(WINAPI*)(UiaProvider*, int kind,
                                                int processing, BSTR text, BSTR activity);
constexpr int kNotificationKindOther = 4;
constexpr int kNotificationImportantMostRecent = 1;

bool g_comStarted = false;
IAccPropServices* g_propServices = nullptr;
HWND g_keyTips = nullptr;

// The size that comctl32 before version 6 accepts too: the program asks for no version.
TOOLINFOW KeyTool(HWND key) {
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(key);
  tool.uId = reinterpret_cast<UINT_PTR>(key);
  return tool;
}

template <typename Function>
Function UiaFunction(const char* name) {
  static const HMODULE library = LoadLibraryW(L"UIAutomationCore.dll");
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

void StartAccessibility() {
  g_comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  if (!g_comStarted) return;
  void* services = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IAccPropServices, &services))) {
    g_propServices = static_cast<IAccPropServices*>(services);
  }
}

void StopAccessibility() {
  if (g_propServices != nullptr) {
    g_propServices->Release();
    g_propServices = nullptr;
  }
  if (g_comStarted) CoUninitialize();
  g_comStarted = false;
}

void DescribeControl(HWND control, const std::wstring& description) {
  if (g_propServices == nullptr || control == nullptr) return;
  if (description.empty()) {
    const MSAAPROPID property = PROPID_ACC_DESCRIPTION;
    g_propServices->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                   &property, 1);
    return;
  }
  // A system that refuses the annotation leaves the key with its name alone.
  g_propServices->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 PROPID_ACC_DESCRIPTION, description.c_str());
}

void SetControlShortcut(HWND control, const std::wstring& shortcut) {
  if (g_propServices == nullptr || control == nullptr) return;
  if (shortcut.empty()) {
    const MSAAPROPID property = PROPID_ACC_KEYBOARDSHORTCUT;
    g_propServices->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                   &property, 1);
    return;
  }
  g_propServices->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 PROPID_ACC_KEYBOARDSHORTCUT, shortcut.c_str());
}

void CreateKeyTips(HWND window) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
  // Owned by nobody: Wine keeps a window that owns a topmost popup from going on top.
  g_keyTips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  if (g_keyTips == nullptr) return;
  wchar_t empty[] = L"";
  for (const ButtonDef& key : g_buttons) {
    TOOLINFOW tool = KeyTool(GetDlgItem(window, key.id));
    tool.lpszText = empty;
    SendMessageW(g_keyTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void DestroyKeyTips() {
  if (g_keyTips != nullptr) DestroyWindow(g_keyTips);
  g_keyTips = nullptr;
}

void SetKeyTip(HWND key, const std::wstring& text) {
  if (g_keyTips == nullptr || key == nullptr) return;
  TOOLINFOW tool = KeyTool(key);
  // The control keeps a copy of the text.
  tool.lpszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(g_keyTips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MakeLiveRegion(HWND control) {
  if (g_propServices == nullptr || control == nullptr) return;
  VARIANT polite{};
  polite.vt = VT_I4;
  polite.lVal = kLivePolite;
  g_propServices->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                              kLiveSettingProperty, polite);
}

void AnnounceLiveRegion(HWND control) {
  NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control, OBJID_CLIENT, CHILDID_SELF);
}

void AnnounceText(HWND window, const std::wstring& text) {
  static const auto hostProvider = UiaFunction<HostProviderFromHwnd>("UiaHostProviderFromHwnd");
  static const auto raise = UiaFunction<RaiseNotificationEvent>("UiaRaiseNotificationEvent");
  if (hostProvider == nullptr || raise == nullptr) return;
  UiaProvider* provider = nullptr;
  if (FAILED(hostProvider(window, &provider)) || provider == nullptr) return;
  BSTR spoken = SysAllocString(text.c_str());
  BSTR activity = SysAllocString(L"vorlane-announcement");
  if (spoken != nullptr && activity != nullptr) {
    raise(provider, kNotificationKindOther, kNotificationImportantMostRecent, spoken, activity);
  }
  SysFreeString(spoken);
  SysFreeString(activity);
  reinterpret_cast<IUnknown*>(provider)->Release();
}
