// A second program that reads the clipboard as any other application would:
// prints the size of the device-independent bitmap the system offers.
#include <windows.h>

#include <cstdio>

int main() {
  if (!OpenClipboard(nullptr)) {
    std::printf("no clipboard\n");
    return 2;
  }
  int rc = 1;
  if (HANDLE h = GetClipboardData(CF_DIB)) {
    if (auto* info = static_cast<BITMAPINFOHEADER*>(GlobalLock(h))) {
      std::printf("%ld %ld %u\n", info->biWidth,
                  info->biHeight < 0 ? -info->biHeight : info->biHeight, info->biBitCount);
      GlobalUnlock(h);
      rc = 0;
    }
  } else {
    std::printf("no bitmap\n");
  }
  CloseClipboard();
  return rc;
}
