// The screen copy of the shutter.
#pragma once

#include <string>

#include "system/system.h"
#include "toolkit/form.h"

namespace pelnoro::capture {

// Puts the primary screen, or the area of a form, on the clipboard as a bitmap.
void CaptureToClipboard(sys::System& sys, const std::wstring& unused, const tk::Form* form);

}  // namespace pelnoro::capture
