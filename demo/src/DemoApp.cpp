// The demo product: a program that says it is installed and which language file it found.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  char* slash = path + length;
  while (slash > path && *slash != '\\') --slash;
  lstrcpyA(slash + 1, "demo.lng");
  char language[64];
  GetPrivateProfileStringA("Texts", "Language", "unknown", language, sizeof language, path);
  char text[160];
  wsprintfA(text, "Demo Office is installed.\r\nLanguage: %s", language);
  MessageBoxA(nullptr, text, "Demo Office", MB_OK | MB_ICONINFORMATION);
  return 0;
}
