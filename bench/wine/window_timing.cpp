// How long the system takes to move a window wholly off the screen and back, and to
// hide and show it, for a captioned topmost window and a borderless popup: the steps the
// program takes around every screen copy and quarter turn. Prints the best and worst of
// five rounds in milliseconds (bench/wine/window_timing.sh runs it in each session kind).
#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {

double NowMs() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

struct Span {
  double best = 1e300, worst = 0;
  void add(double ms) {
    best = std::min(best, ms);
    worst = std::max(worst, ms);
  }
};

template <class F>
double Timed(F f) {
  const double t = NowMs();
  f();
  return NowMs() - t;
}

}  // namespace

int wmain() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PelnoroWindowTiming";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RegisterClassW(&wc);
  struct Kind {
    const char* name;
    DWORD style, ex;
  } kinds[] = {
      {"captioned topmost", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, WS_EX_TOPMOST},
      {"borderless popup", WS_POPUP, WS_EX_TOOLWINDOW},
  };
  std::printf("%-18s %21s %21s %21s %21s\n", "window", "off the screen", "back", "hide", "show");
  for (const Kind& k : kinds) {
    HWND h = CreateWindowExW(k.ex, wc.lpszClassName, L"timing", k.style, 600, 80, 230, 174, nullptr,
                             nullptr, wc.hInstance, nullptr);
    ShowWindow(h, SW_SHOW);
    UpdateWindow(h);
    Pump();
    Span off, back, hide, show;
    for (int i = 0; i < 5; ++i) {
      const UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
      off.add(Timed([&] { SetWindowPos(h, nullptr, 600, -254, 0, 0, flags); }));
      back.add(Timed([&] { SetWindowPos(h, nullptr, 600, 80, 0, 0, flags); }));
      Pump();
      hide.add(Timed([&] { ShowWindow(h, SW_HIDE); }));
      show.add(Timed([&] { ShowWindow(h, SW_SHOWNA); }));
      Pump();
    }
    std::printf("%-18s", k.name);
    for (const Span& s : {off, back, hide, show})
      std::printf(" %8.1f to %8.1f ms", s.best, s.worst);
    std::printf("\n");
    DestroyWindow(h);
  }
  return 0;
}
