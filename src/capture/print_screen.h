// The screen copy of the shutter.
#pragma once

#include "image/surface.h"
#include "system/system.h"
#include "toolkit/form.h"

namespace pelnoro::capture {

// The primary screen, or the area of a form, as it shows now.
image::Surface CaptureScreen(sys::System& sys, const tk::Form* form);

}  // namespace pelnoro::capture
