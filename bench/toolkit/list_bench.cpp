// Filling list boxes row by row, as the program fills its history and settings
// lists: headless, and on Windows (run under Wine) with native peers in a window;
// there also the folder and file lists showing 10,000 entries.
//
//   pelnoro_list_bench [SECONDS]
//
// The native fills grow step by step and stop once a step took longer than
// SECONDS (default 30), so a slow list still gives figures in reasonable time.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "toolkit/controls.h"
#include "toolkit/form.h"

#ifdef _WIN32
#include <windows.h>

#include "toolkit/file_lists.h"
#include "win32/win32_peer_factory.h"
#include "win32/win32_system.h"
#endif

using namespace pelnoro;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double perSecond(int rows, double ms) {
  return ms > 0 ? rows * 1000.0 / ms : 0;
}

// Rows like the save log's folder history.
std::vector<std::wstring> makeRows(int n) {
  std::vector<std::wstring> rows;
  rows.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) rows.push_back(L"C:\\写真\\フォルダ" + std::to_wstring(i) + L"\\");
  return rows;
}

void headless() {
  std::printf("headless ListBox (no peer)\n");
  std::printf("  %9s %12s %14s %12s %14s\n", "rows", "fill ms", "rows/s", "refill ms", "rows/s");
  for (int n : {100000, 1000000}) {
    const auto rows = makeRows(n);
    tk::Form form(L"Form1");
    tk::ListBox list(&form, L"List1");
    auto t = Clock::now();
    for (const auto& r : rows) list.addItem(r);
    const double fill = msSince(t);
    t = Clock::now();
    list.clear();
    for (const auto& r : rows) list.addItem(r);
    const double refill = msSince(t);
    std::printf("  %9d %12.1f %14.0f %12.1f %14.0f\n", n, fill, perSecond(n, fill), refill,
                perSecond(n, refill));
  }
}

}  // namespace

#ifndef _WIN32

int main() {
  headless();
  return 0;
}

#else

namespace {

struct ListWindow {
  tk::Form form{L"Form1"};
  tk::ListBox list{&form, L"List1"};
};

HWND hwndOf(const tk::Control& c) {
  return static_cast<HWND>(c.nativeTag);
}

// Paints whatever is pending and waits for the drawing to reach the screen.
double paintAll(win32::Win32System& sys, HWND top) {
  const auto t = Clock::now();
  sys.doEvents();
  RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  GdiFlush();
  return msSince(t);
}

void nativeFills(win32::Win32System& sys, bool shown, double budgetMs) {
  std::printf("native ListBox filled row by row, %s\n",
              shown ? "shown in a window" : "in a hidden window");
  std::printf("  %9s %12s %12s %12s %12s %12s %10s\n", "rows", "fill ms", "rows/s", "paint ms",
              "refill ms", "rows/s", "to end ms");
  bool stop = false;
  for (int n : {1000, 2000, 4000, 8000, 16000, 32000, 100000}) {
    if (stop) {
      std::printf("  %9d   not run: the step before took longer than the budget\n", n);
      continue;
    }
    const auto rows = makeRows(n);
    ListWindow w;
    w.form.setBorderStyle(tk::BorderStyle::FixedSingle);
    w.form.move(1500, 1500, 6000, 6000);
    w.list.move(120, 120, 5400, 5000);
    win32::Win32PeerFactory peers(sys.twipsPerPixelX(), sys.twipsPerPixelY());
    peers.realise(w.form);
    if (shown) w.form.show();
    paintAll(sys, hwndOf(w.form));

    auto t = Clock::now();
    for (const auto& r : rows) w.list.addItem(r);
    const double fill = msSince(t);
    const double paint = paintAll(sys, hwndOf(w.form));

    t = Clock::now();
    w.list.clear();
    for (const auto& r : rows) w.list.addItem(r);
    const double refill = msSince(t);
    paintAll(sys, hwndOf(w.form));

    // Scrolled to the last row and painted there.
    HWND list = hwndOf(w.list);
    t = Clock::now();
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(n - 1), 0);
    paintAll(sys, hwndOf(w.form));
    const double toEnd = msSince(t);

    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    std::printf("  %9d %12.1f %12.0f %12.1f %12.1f %12.0f %10.1f%s\n", n, fill, perSecond(n, fill),
                paint, refill, perSecond(n, refill), toEnd,
                count == n ? "" : "  (native row count differs!)");
    std::fflush(stdout);
    stop = fill > budgetMs || refill > budgetMs;
  }
}

struct FileListWindow {
  tk::Form form{L"Form1"};
  tk::DirListBox dirs{&form, L"Dir1"};
  tk::FileListBox files{&form, L"File1"};
};

void fileLists(win32::Win32System& sys) {
  constexpr int kEntries = 10000;
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  const std::wstring root =
      std::wstring(tmp) + L"pelnoro_list_bench_" + std::to_wstring(GetCurrentProcessId());
  const std::wstring filesDir = root + L"\\files", dirsDir = root + L"\\dirs";
  CreateDirectoryW(root.c_str(), nullptr);
  CreateDirectoryW(filesDir.c_str(), nullptr);
  CreateDirectoryW(dirsDir.c_str(), nullptr);
  auto name = [](const wchar_t* stem, int i) {
    wchar_t buf[32];
    std::swprintf(buf, 32, L"%ls%05d", stem, i);
    return std::wstring(buf);
  };
  auto t = Clock::now();
  for (int i = 0; i < kEntries; ++i) {
    HANDLE h = CreateFileW((filesDir + L"\\" + name(L"file", i) + L".png").c_str(), GENERIC_WRITE,
                           0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
    CreateDirectoryW((dirsDir + L"\\" + name(L"folder", i)).c_str(), nullptr);
  }
  std::printf("folder and file lists (%d files and %d folders made in %.0f ms)\n", kEntries,
              kEntries, msSince(t));

  t = Clock::now();
  const auto folders = sys.listFolders(dirsDir);
  const double listFolders = msSince(t);
  t = Clock::now();
  const auto files = sys.listFiles(filesDir + L"\\");
  std::printf("  the system lists the %zu folders in %.1f ms, the %zu files in %.1f ms\n",
              folders.size(), listFolders, files.size(), msSince(t));

  // The same steps on lists without peers and on lists shown natively.
  std::printf("  %-30s %8s %14s %14s %10s\n", "", "rows", "headless ms", "native ms", "paint ms");
  FileListWindow bare, shown;
  for (FileListWindow* w : {&bare, &shown}) {
    w->form.setBorderStyle(tk::BorderStyle::FixedSingle);
    w->form.move(1500, 1500, 6600, 6000);
    w->dirs.move(120, 120, 3000, 5000);
    w->files.move(3300, 120, 3000, 5000);
    w->dirs.setSystem(sys);
    w->files.setSystem(sys);
    w->dirs.setPath(root);
    w->files.setPath(root);
  }
  win32::Win32PeerFactory peers(sys.twipsPerPixelX(), sys.twipsPerPixelY());
  peers.realise(shown.form);
  shown.form.show();
  paintAll(sys, hwndOf(shown.form));

  auto step = [&](const char* what, auto&& action) {
    t = Clock::now();
    tk::FileSystemList& l = action(bare);
    const double headlessMs = msSince(t);
    t = Clock::now();
    tk::FileSystemList& n = action(shown);
    const double nativeMs = msSince(t);
    const double paint = paintAll(sys, hwndOf(shown.form));
    const auto count = SendMessageW(GetWindow(hwndOf(n), GW_CHILD), LB_GETCOUNT, 0, 0);
    std::printf("  %-30s %8d %14.1f %14.1f %10.1f%s\n", what, l.listCount(), headlessMs, nativeMs,
                paint, count == n.listCount() ? "" : "  (native row count differs!)");
    std::fflush(stdout);
  };
  step("folder list: into the folder", [&](FileListWindow& w) -> tk::FileSystemList& {
    w.dirs.setPath(dirsDir);
    return w.dirs;
  });
  step("folder list: read again", [&](FileListWindow& w) -> tk::FileSystemList& {
    w.dirs.refresh();
    return w.dirs;
  });
  step("file list: into the folder", [&](FileListWindow& w) -> tk::FileSystemList& {
    w.files.setPath(filesDir);
    return w.files;
  });
  step("file list: another pattern", [&](FileListWindow& w) -> tk::FileSystemList& {
    w.files.setPattern(L"*.png;*.jpg");
    return w.files;
  });
  step("file list: last row selected", [&](FileListWindow& w) -> tk::FileSystemList& {
    w.files.setListIndex(kEntries - 1);
    return w.files;
  });

  for (int i = 0; i < kEntries; ++i) {
    DeleteFileW((filesDir + L"\\" + name(L"file", i) + L".png").c_str());
    RemoveDirectoryW((dirsDir + L"\\" + name(L"folder", i)).c_str());
  }
  RemoveDirectoryW(filesDir.c_str());
  RemoveDirectoryW(dirsDir.c_str());
  RemoveDirectoryW(root.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const double budgetMs = (argc > 1 ? std::atof(argv[1]) : 30.0) * 1000.0;
  headless();
  win32::Win32System sys;
  nativeFills(sys, true, budgetMs);
  nativeFills(sys, false, budgetMs);
  fileLists(sys);
  return 0;
}

#endif
