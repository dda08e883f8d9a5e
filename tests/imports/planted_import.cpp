// A program with two imports the list does not allow, for the test that the import
// check catches them: a call that Windows has only from Windows 10 on, and a DLL the
// program never uses.
#include <windows.h>

#include <dwmapi.h>

extern "C" __declspec(dllimport) UINT WINAPI GetDpiForWindow(HWND window);

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  BOOL composed = FALSE;
  DwmIsCompositionEnabled(&composed);
  return static_cast<int>(GetDpiForWindow(nullptr)) + composed;
}
