#include "capture/print_screen.h"

#include "system/number_text.h"

namespace pelnoro::capture {

void CaptureToClipboard(sys::System& sys, const std::wstring&, const tk::Form* form) {
  const double tx = sys.twipsPerPixelX(), ty = sys.twipsPerPixelY();
  if (form) {
    sys.copyScreenToClipboard(sys::RoundHalfEven(form->left() / tx),
                              sys::RoundHalfEven(form->top() / ty),
                              sys::RoundHalfEven(form->width() / tx),
                              sys::RoundHalfEven(form->height() / ty));
  } else {
    sys.copyScreenToClipboard(0, 0, sys::RoundHalfEven(sys.screenWidthTwips() / tx),
                              sys::RoundHalfEven(sys.screenHeightTwips() / ty));
  }
}

}  // namespace pelnoro::capture
