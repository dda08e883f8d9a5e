#include "encoder/error.h"

namespace pelnoro::encoder {

const char* ErrorText(Error error) {
  switch (error) {
    case Error::kOk:
      return "ok";
    case Error::kBadSize:
      return "bad image size";
    case Error::kBadArgument:
      return "bad argument";
    case Error::kOutOfMemory:
      return "out of memory";
    case Error::kCompressFailed:
      return "compression failed";
    case Error::kCannotCreateFile:
      return "cannot create the file";
    case Error::kWriteFailed:
      return "writing the file failed";
    case Error::kCannotReplace:
      return "cannot replace the file";
    case Error::kBadDeviceContext:
      return "bad device context";
    case Error::kCannotReadPixels:
      return "cannot read the pixels";
    case Error::kTooLarge:
      return "image too large for the format";
  }
  return "unknown error";
}

}  // namespace pelnoro::encoder
