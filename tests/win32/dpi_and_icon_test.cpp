// The realised windows at another monitor scale, the program's icon on them, and the
// version record and icons of the built pelnoro.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/form_pelnoro.h"
#include "dialogs/form_property_box.h"
#include "pelnoro_version.h"
#include "realised_app.h"
#include "win32/app_icon.h"
#include "win32/resource_ids.h"
#include "win32/win32_peer_factory.h"
#include "win32/win32_system.h"

namespace pelnoro {
namespace {

int Px(double twips, double tpp) {
  return static_cast<int>(std::lround(twips / tpp));
}

// Where a window stands in the client area of another, and its size.
RECT RectIn(HWND window, HWND frame) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Pixels of a control nested in containers: each level is placed in its parent's
// pixels, so each level rounds on its own.
RECT NestedRect(const std::vector<const tk::Control*>& chain, double tpp) {
  RECT r{0, 0, 0, 0};
  for (const tk::Control* c : chain) {
    r.left += Px(c->left(), tpp);
    r.top += Px(c->top(), tpp);
  }
  const tk::Control& last = *chain.back();
  r.right = r.left + Px(last.left() + last.width(), tpp) - Px(last.left(), tpp);
  r.bottom = r.top + Px(last.top() + last.height(), tpp) - Px(last.top(), tpp);
  return r;
}

void ExpectRect(const RECT& want, const RECT& got, const char* what) {
  EXPECT_EQ(want.left, got.left) << what;
  EXPECT_EQ(want.top, got.top) << what;
  EXPECT_EQ(want.right, got.right) << what;
  EXPECT_EQ(want.bottom, got.bottom) << what;
}

LONG FontHeight(HWND control) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  LOGFONTW lf{};
  GetObjectW(font, sizeof lf, &lf);
  return lf.lfHeight;
}

int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP bm{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return bm.bmWidth;
}

// The colour in the middle of an icon drawn on white: the amber cut of ours.
COLORREF IconCentre(HICON icon, int size) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT all{0, 0, size, size};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  const COLORREF c = GetPixel(dc, size / 2, size / 2);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return c;
}

class DpiChangeTest : public RealisedAppTest {
 protected:
  static HWND Of(const tk::Control& c) { return static_cast<HWND>(c.nativeTag); }

  // What the system sends a window dragged onto a monitor of dpi: the new scale and
  // a rectangle there.
  static void MoveToMonitor(HWND window, int dpi, RECT suggested) {
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  }
};

TEST_F(DpiChangeTest, MainWindowIsLaidOutAgainAtTheNewScaleAndBackExactly) {
  auto& main = app->main();
  HWND h = mainWindow();
  const double tpp = sys.twipsPerPixelY();
  const int dpi = static_cast<int>(std::lround(1440 / tpp));
  RECT before;
  GetWindowRect(h, &before);
  HWND list = Of(main.Listメインメニュー);
  const RECT listBefore = RectIn(list, h);
  const LONG fontBefore = FontHeight(list);

  // Twice the scale, 1.5 times, and a scale that does not divide the twips evenly.
  for (const int newDpi : {dpi * 2, dpi * 3 / 2, 120}) {
    SCOPED_TRACE(newDpi);
    const double newTpp = 1440.0 / newDpi;
    const RECT suggested{before.left + 40, before.top + 30, before.left + 40 + Px(3450, newTpp),
                         before.top + 30 + Px(2610, newTpp)};
    MoveToMonitor(h, newDpi, suggested);
    sys.doEvents();

    RECT now;
    GetWindowRect(h, &now);
    ExpectRect(suggested, now, "the window takes the suggested rectangle");
    // Its size stays the design size in twips; its place is kept in the
    // primary monitor's twips, as every window's is.
    EXPECT_EQ(main.width(), 3450);
    EXPECT_EQ(main.height(), 2610);
    EXPECT_DOUBLE_EQ(main.left(), suggested.left * sys.twipsPerPixelX());
    EXPECT_DOUBLE_EQ(main.top(), suggested.top * tpp);
    // A native control placed and lettered at the new scale.
    ExpectRect(NestedRect({&main.Listメインメニュー}, newTpp), RectIn(list, h), "menu list");
    EXPECT_EQ(FontHeight(list), -std::lround(main.Listメインメニュー.font().size * newDpi / 72.0));
    // The caption's icon drawn for the new scale.
    auto small = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(small, win32::AppIcon(win32::SmallIconSize(newDpi)));
    EXPECT_EQ(IconWidth(small), MulDiv(16, newDpi, 96));
  }

  // Back on the first monitor: every pixel where it was.
  MoveToMonitor(h, dpi, before);
  sys.doEvents();
  RECT now;
  GetWindowRect(h, &now);
  ExpectRect(before, now, "window back");
  ExpectRect(listBefore, RectIn(list, h), "menu list back");
  EXPECT_EQ(FontHeight(list), fontBefore);
}

TEST_F(DpiChangeTest, ControlsInsideNestedFramesFollowTheScale) {
  auto& box = app->propertyBox();
  HWND h = Of(box);
  const int newDpi = static_cast<int>(std::lround(1440 / sys.twipsPerPixelY())) * 2;
  const double newTpp = 1440.0 / newDpi;
  RECT r;
  GetWindowRect(h, &r);
  MoveToMonitor(
      h, newDpi,
      {r.left, r.top, r.left + Px(box.width(), newTpp), r.top + Px(box.height(), newTpp)});
  sys.doEvents();
  // A frame in the form, a frame in that one, a check box in the inner frame.
  ExpectRect(NestedRect({&box.Frame動作}, newTpp), RectIn(Of(box.Frame動作), h), "outer frame");
  ExpectRect(NestedRect({&box.Frame動作, &box.Frame保存ファイル名}, newTpp),
             RectIn(Of(box.Frame保存ファイル名), h), "inner frame");
  ExpectRect(
      NestedRect({&box.Frame動作, &box.Frame保存ファイル名, &box.Check自動ナンバリング}, newTpp),
      RectIn(Of(box.Check自動ナンバリング), h), "check box");
  EXPECT_EQ(FontHeight(Of(box.Check自動ナンバリング)),
            -std::lround(box.Check自動ナンバリング.font().size * newDpi / 72.0));
}

TEST_F(DpiChangeTest, CaptionedWindowsCarryTheProgramsIcon) {
  HWND h = mainWindow();
  const auto big = reinterpret_cast<HICON>(GetClassLongPtrW(h, GCLP_HICON));
  const auto small = reinterpret_cast<HICON>(GetClassLongPtrW(h, GCLP_HICONSM));
  ASSERT_NE(big, LoadIconW(nullptr, IDI_APPLICATION));
  EXPECT_EQ(IconWidth(big), GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(IconWidth(small), GetSystemMetrics(SM_CXSMICON));
  // Our drawing, not a stock icon: amber in the middle at every size.
  for (HICON icon : {big, small}) {
    const int size = IconWidth(icon);
    const COLORREF c = IconCentre(icon, size);
    EXPECT_GT(GetRValue(c), 0xE0) << size;
    EXPECT_GT(GetGValue(c), 0x90) << size;
    EXPECT_LT(GetBValue(c), 0x50) << size;
  }
}

// The exe beside this test program.
std::wstring ProgramPath() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p = path;
  return p.substr(0, p.find_last_of(L'\\') + 1) + L"pelnoro.exe";
}

std::wstring VersionString(const std::vector<char>& block, const std::wstring& key) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = L"\\StringFileInfo\\041104B0\\" + key;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !length) return L"(none)";
  return static_cast<const wchar_t*>(value);
}

TEST(ProgramFile, VersionRecordNamesTheProductAndItsVersion) {
  const std::wstring exe = ProgramPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u) << "no version record in pelnoro.exe";
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));
  const std::string text = PELNORO_VERSION_TEXT;
  const std::wstring version(text.begin(), text.end());
  EXPECT_EQ(VersionString(block, L"ProductName"), L"Pelnoro");
  EXPECT_EQ(VersionString(block, L"FileDescription"), L"画面の切り取りツール");
  EXPECT_EQ(VersionString(block, L"FileVersion"), version);
  EXPECT_EQ(VersionString(block, L"ProductVersion"), version);
  EXPECT_EQ(VersionString(block, L"CompanyName"), L"Pelnoro developers");
  EXPECT_NE(VersionString(block, L"LegalCopyright").find(L"Pelnoro developers"),
            std::wstring::npos);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS,
            static_cast<DWORD>(PELNORO_VERSION_MAJOR << 16 | PELNORO_VERSION_MINOR));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(PELNORO_VERSION_PATCH << 16));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST(ProgramFile, IconHoldsEverySizeTheShellAsksFor) {
  HMODULE exe = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(exe);
  HRSRC group = FindResourceW(exe, MAKEINTRESOURCEW(PELNORO_ICON_ID), RT_GROUP_ICON);
  ASSERT_TRUE(group) << "no icon group " << PELNORO_ICON_ID;
  const auto* dir = static_cast<const WORD*>(LockResource(LoadResource(exe, group)));
  ASSERT_TRUE(dir);
  const WORD count = dir[2];
  const auto* entries = reinterpret_cast<const GroupIconEntry*>(dir + 3);
  std::vector<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    sizes.push_back(entries[i].width ? entries[i].width : 256);
    EXPECT_EQ(entries[i].bitCount, 32);
    EXPECT_EQ(entries[i].width, entries[i].height);
  }
  EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 256}));
  FreeLibrary(exe);
}

}  // namespace
}  // namespace pelnoro
