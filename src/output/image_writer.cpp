#include "output/image_writer.h"

#include <vector>

#include "encoder/bmp_encoder.h"
#include "encoder/jpeg_encoder.h"
#include "encoder/png_encoder.h"
#include "output/texts.h"

namespace pelnoro::output {

namespace {

// The encoder's code for the step of the file write that failed.
std::int16_t WriteCode(sys::WriteResult r) {
  switch (r) {
    case sys::WriteResult::kOk:
      return 0;
    case sys::WriteResult::kCannotCreate:
      return static_cast<std::int16_t>(encoder::Error::kCannotCreateFile);
    case sys::WriteResult::kWriteFailed:
      return static_cast<std::int16_t>(encoder::Error::kWriteFailed);
    case sys::WriteResult::kCannotReplace:
      return static_cast<std::int16_t>(encoder::Error::kCannotReplace);
  }
  return static_cast<std::int16_t>(encoder::Error::kWriteFailed);
}

void reportWriteError(sys::System& sys, long code) {
  sys.messageBox(WriteErrorText(code), text::kWriteErrorTitle, sys::kMbOk | sys::kMbIconStop);
}

encoder::Error encode(const image::Surface& picture, const SaveRequest& request,
                      std::vector<std::uint8_t>& bytes) {
  // The pixels of the edit image itself, never what the screen shows there.
  const encoder::PixelView view{picture.pixels().data(), picture.width(), picture.height(),
                                picture.width()};
  switch (request.format) {
    case ImageFormat::kJpeg:
      return encoder::EncodeJpeg(view, {request.quality, request.progressive}, bytes);
    case ImageFormat::kPng:
      return encoder::EncodePng(view, static_cast<encoder::PngLevel>(request.pngLevel), bytes);
    case ImageFormat::kBmp:
      break;
  }
  return encoder::EncodeBmp(view, bytes);
}

}  // namespace

std::wstring WriteErrorText(long code) {
  return std::wstring(text::kWriteError) + std::to_wstring(code);
}

std::optional<int> JpegQualityOf(const std::wstring& caption) {
  std::size_t i = 0;
  while (i < caption.size() && caption[i] == L' ') ++i;
  if (i == caption.size()) return std::nullopt;
  int q = 0;
  for (; i < caption.size(); ++i) {
    if (caption[i] < L'0' || caption[i] > L'9') return std::nullopt;
    q = q * 10 + (caption[i] - L'0');
    if (q > 255) return std::nullopt;
  }
  return q;
}

std::optional<SaveRequest> SaveRequestFor(sys::System& sys, const std::wstring& ext,
                                          std::wstring path, const program::Settings& settings,
                                          bool progressive) {
  const auto format = FormatOfExtension(ext);
  if (!format) return std::nullopt;
  SaveRequest request{std::move(path), *format, 0, progressive, settings.pngLevel};
  if (*format == ImageFormat::kJpeg) {
    const auto quality = JpegQualityOf(settings.jpegQuality);
    if (!quality) {
      sys.messageBox(text::kBadQuality + settings.jpegQuality, text::kWriteErrorTitle,
                     sys::kMbOk | sys::kMbIconStop);
      return std::nullopt;
    }
    request.quality = *quality;
  }
  return request;
}

SaveOutcome WriteCutImage(sys::System& sys, const image::Surface& picture,
                          const SaveRequest& request) {
  std::vector<std::uint8_t> bytes;
  const encoder::Error error = encode(picture, request, bytes);
  const std::int16_t code = error != encoder::Error::kOk
                                ? static_cast<std::int16_t>(error)
                                : WriteCode(sys.writeFileReplacing(request.path, bytes));
  SaveOutcome outcome{code == 0, std::nullopt};
  // The bitmap writer has no code of its own to hand back.
  if (request.format != ImageFormat::kBmp) outcome.encoderCode = code;
  if (code != 0) reportWriteError(sys, code);
  return outcome;
}

}  // namespace pelnoro::output
