// Result codes of the encoders and file writers. The values are part of the contract of
// the DC entry points (they are shown to the user), so never renumber them.
#pragma once

#include <cstdint>

namespace pelnoro::encoder {

enum class Error : std::int16_t {
  kOk = 0,
  kBadSize = 1,           // width or height outside 1..the format's limit, or stride < width
  kBadArgument = 2,       // null pixels or path, unknown PNG level
  kOutOfMemory = 3,       // a buffer for the pixels or the encoded file could not be allocated
  kCompressFailed = 4,    // no longer returned; kept for its number
  kCannotCreateFile = 5,  // the temporary file could not be created (folder missing, no rights)
  kWriteFailed = 6,       // writing or closing the temporary file failed (disk full)
  kCannotReplace = 7,     // the target is read-only or a folder, or the final rename failed
  kBadDeviceContext = 8,  // the device context handle is null
  kCannotReadPixels = 9,  // the pixels could not be copied out of the device context
  kTooLarge = 10,         // the encoded file would exceed the format's size fields
};

// One line of English for logs and the command-line tool.
const char* ErrorText(Error error);

inline int ErrorCode(Error error) {
  return static_cast<int>(error);
}

}  // namespace pelnoro::encoder
