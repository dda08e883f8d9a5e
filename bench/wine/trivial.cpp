// The smallest Win32 program with a window: what the start-up time and memory of
// Pelnoro are measured beside, run the same way under Wine.
#include <windows.h>

namespace {

LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = L"Trivial";
  RegisterClassW(&wc);
  CreateWindowExW(0, L"Trivial", L"Trivial", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 230, 174,
                  nullptr, nullptr, instance, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
