#include "ui/win32/accessibility.h"

// The GUIDs of oleacc.h are defined here rather than taken from a library that may lack them.
#include <initguid.h>
#include <oleacc.h>

namespace {

bool g_comStarted = false;
IAccPropServices* g_propServices = nullptr;

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
