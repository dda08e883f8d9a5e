// The program's entry point on Windows.
#include <windows.h>

#include <commctrl.h>

#include "app/application.h"
#include "win32/win32_peer_factory.h"
#include "win32/win32_system.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  // The manifest asks for system DPI awareness; say it again for systems that
  // read only the call.
  SetProcessDPIAware();

  pelnoro::win32::Win32System sys;
  pelnoro::app::Application app(sys);
  pelnoro::win32::Win32PeerFactory peers(sys.twipsPerPixelX(), sys.twipsPerPixelY());
  app.realise(peers);
  if (!app.start()) return 0;
  return sys.run();
}
