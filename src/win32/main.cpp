// The program's entry point on Windows.
#include <windows.h>

#include <commctrl.h>

#include "app/application.h"
#include "win32/win32_peer_factory.h"
#include "win32/win32_system.h"

namespace {

// The manifest asks for per-monitor awareness (system-wide on Windows 7 and 8.1);
// say it again for a start that did not read it. The per-monitor call exists from
// Windows 10 1703 on, so it is looked up rather than imported. Once the manifest
// has set the awareness both calls fail and change nothing.
void AskForDpiAwareness() {
  using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
  const auto setContext = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  if (setContext && setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) return;
  SetProcessDPIAware();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  AskForDpiAwareness();

  pelnoro::win32::Win32System sys;
  pelnoro::app::Application app(sys);
  pelnoro::win32::Win32PeerFactory peers(sys.twipsPerPixelX(), sys.twipsPerPixelY());
  app.realise(peers);
  if (!app.start()) return 0;
  return sys.run();
}
