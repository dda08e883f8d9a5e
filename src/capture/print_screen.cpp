#include "capture/print_screen.h"

#include "system/number_text.h"

namespace pelnoro::capture {

image::Surface CaptureScreen(sys::System& sys, const tk::Form* form) {
  const double tx = sys.twipsPerPixelX(), ty = sys.twipsPerPixelY();
  if (form) {
    return sys.captureScreen(
        sys::RoundHalfEven(form->left() / tx), sys::RoundHalfEven(form->top() / ty),
        sys::RoundHalfEven(form->width() / tx), sys::RoundHalfEven(form->height() / ty));
  }
  return sys.captureScreen(0, 0, sys::RoundHalfEven(sys.screenWidthTwips() / tx),
                           sys::RoundHalfEven(sys.screenHeightTwips() / ty));
}

}  // namespace pelnoro::capture
