#include "ui/win32/accessibility.h"

// The GUIDs of oleacc.h are defined here rather than taken from a library that may lack them.
#include <initguid.h>
#include <oleacc.h>

#include <commctrl.h>

#include "calculator/keypad.h"

namespace {

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
