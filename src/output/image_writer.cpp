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

bool WriteCutImage(sys::System& sys, const image::Surface& picture, const std::wstring& ext,
                   const program::Settings& settings, program::AppState& state,
                   std::int16_t& result) {
  // The pixels of the edit image itself, never what the screen shows there.
  const encoder::PixelView view{picture.pixels().data(), picture.width(), picture.height(),
                                picture.width()};
  const std::wstring path = settings.saveFolder + state.SaveFileName;
  std::vector<std::uint8_t> bytes;
  encoder::Error error = encoder::Error::kOk;

  if (ext == text::kExtJpeg) {
    const auto quality = JpegQualityOf(settings.jpegQuality);
    if (!quality) {
      sys.messageBox(text::kBadQuality + settings.jpegQuality, text::kWriteErrorTitle,
                     sys::kMbOk | sys::kMbIconStop);
      result = static_cast<std::int16_t>(encoder::Error::kBadArgument);
      return false;
    }
    encoder::JpegOptions options;
    options.quality = *quality;
    options.progressive = state.JpegProgressive != 0;
    error = encoder::EncodeJpeg(view, options, bytes);
  } else if (ext == text::kExtPng) {
    state.PngLevel = settings.pngLevel;
    error = encoder::EncodePng(view, static_cast<encoder::PngLevel>(state.PngLevel), bytes);
  } else if (ext == text::kExtBmp) {
    error = encoder::EncodeBmp(view, bytes);
  } else {
    return false;
  }

  std::int16_t code = static_cast<std::int16_t>(error);
  if (error == encoder::Error::kOk)
    code = WriteCode(sys.writeFileReplacing(path, std::string(bytes.begin(), bytes.end())));
  // The bitmap writer has no code of its own to hand back.
  if (ext != text::kExtBmp) result = code;
  if (code != 0) {
    reportWriteError(sys, code);
    return false;
  }
  return true;
}

}  // namespace pelnoro::output
