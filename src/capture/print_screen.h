// The screen copy of the shutter.
#pragma once

#include <string>

namespace pelnoro::tk {
class Form;
}
namespace pelnoro::app {
class Application;
}

namespace pelnoro::capture {

// Puts the primary screen, or the area of a form, on the clipboard as a bitmap.
void CaptureToClipboard(app::Application& app, const std::wstring& unused, const tk::Form* form);

}  // namespace pelnoro::capture
