// A one-line text box realised as a native edit: what a paste puts into it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "native_control.h"
#include "toolkit/controls.h"

namespace pelnoro {
namespace {

class NativeTextBoxTest : public testing::NativeControlTest<tk::TextBox> {
 protected:
  void SetUp() override { realise(6000, 1500, 5000, 300); }

  HWND edit() const { return native(); }

  static bool putOnClipboard(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    auto* p = static_cast<wchar_t*>(GlobalLock(h));
    text.copy(p, text.size());
    p[text.size()] = L'\0';
    GlobalUnlock(h);
    const bool ok = SetClipboardData(CF_UNICODETEXT, h) != nullptr;
    CloseClipboard();
    return ok;
  }
};

TEST_F(NativeTextBoxTest, APasteAcrossLineBreaksComesWholeOnOneLine) {
  struct Case {
    std::wstring before, pasted, after;
  } cases[] = {
      {L"", L"C:\\clips\\pho\r\nto.png", L"C:\\clips\\photo.png"},
      {L"C:\\", L"a\nb\rc\td", L"C:\\abcd"},
      {L"x", L"\r\n", L"x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.pasted));
    f.control.setText(c.before);
    SendMessageW(edit(), EM_SETSEL, c.before.size(), c.before.size());
    ASSERT_TRUE(putOnClipboard(c.pasted));
    SendMessageW(edit(), WM_PASTE, 0, 0);
    EXPECT_EQ(f.control.text(), c.after);
  }
}

}  // namespace
}  // namespace pelnoro
