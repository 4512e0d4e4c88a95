// The demo product's COM server: registering it records the server's path under the
// current user, so an installation shows that its registration ran.
#include <windows.h>

namespace {
HINSTANCE module = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) module = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT __stdcall DllRegisterServer() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin\\Demo Office\\Control", 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return E_FAIL;
  const LONG result =
      RegSetValueExA(key, "Server", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), length + 1);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? S_OK : E_FAIL;
}
