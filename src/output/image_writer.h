// Writes the cut image as a JPEG, PNG or BMP file.
#pragma once

#include <cstdint>
#include <string>

namespace pelnoro::app {
class Application;
}

namespace pelnoro::output {

// ext ".JPG", ".PNG" or ".BMP", compared exactly; any other writes nothing.
// result receives the JPEG and PNG encoders' code (0 = written). Returns
// whether a file was written; every failure has been reported to the user.
bool WriteCutImage(app::Application& app, const std::wstring& ext, std::int16_t& result);

// The message of a failed write.
std::wstring WriteErrorText(long code);

}  // namespace pelnoro::output
