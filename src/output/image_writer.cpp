#include "output/image_writer.h"

#include <vector>

#include "app/application.h"
#include "app/number_text.h"
#include "capture/form_pic.h"
#include "dialogs/form_property_box.h"
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

bool isWholeNumber(const std::wstring& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == L' ') ++i;
  if (i == text.size()) return false;
  for (; i < text.size(); ++i) {
    if (text[i] < L'0' || text[i] > L'9') return false;
  }
  return true;
}

void reportWriteError(app::Application& app, long code) {
  app.sys().messageBox(WriteErrorText(code), text::kWriteErrorTitle, sys::kMbOk | sys::kMbIconStop);
}

}  // namespace

std::wstring WriteErrorText(long code) {
  return std::wstring(text::kWriteError) + std::to_wstring(code);
}

bool WriteCutImage(app::Application& app, const std::wstring& ext, std::int16_t& result) {
  auto& box = app.propertyBox();
  auto& st = app.state();
  // The pixels of the edit image itself, never what the screen shows there.
  const auto& surface = app.pic().Picture_CHANGE1.surface();
  const encoder::PixelView view{surface.pixels().data(), surface.width(), surface.height(),
                                surface.width()};
  const std::wstring path = box.Label保存先.caption() + st.SaveFileName;
  std::vector<std::uint8_t> bytes;
  encoder::Error error = encoder::Error::kOk;

  if (ext == text::kExtJpeg) {
    const std::wstring caption = box.Label解像度.caption();
    const long quality = app::RoundHalfEven(app::LenientNumber(caption));
    if (!isWholeNumber(caption) || quality < 0 || quality > 255) {
      app.sys().messageBox(text::kBadQuality + caption, text::kWriteErrorTitle,
                           sys::kMbOk | sys::kMbIconStop);
      result = static_cast<std::int16_t>(encoder::Error::kBadArgument);
      return false;
    }
    encoder::JpegOptions options;
    options.quality = static_cast<int>(quality);
    options.progressive = st.JpegProgressive != 0;
    error = encoder::EncodeJpeg(view, options, bytes);
  } else if (ext == text::kExtPng) {
    st.PngLevel = 0;
    if (box.Option通常.value()) {
      st.PngLevel = 0;
    } else if (box.Option低圧縮率.value()) {
      st.PngLevel = 1;
    } else if (box.Option最高の圧縮率.value()) {
      st.PngLevel = 2;
    }
    error = encoder::EncodePng(view, static_cast<encoder::PngLevel>(st.PngLevel), bytes);
  } else if (ext == text::kExtBmp) {
    error = encoder::EncodeBmp(view, bytes);
  } else {
    return false;
  }

  std::int16_t code = static_cast<std::int16_t>(error);
  if (error == encoder::Error::kOk)
    code = WriteCode(app.sys().writeFileReplacing(path, std::string(bytes.begin(), bytes.end())));
  // The bitmap writer has no code of its own to hand back.
  if (ext != text::kExtBmp) result = code;
  if (code != 0) {
    reportWriteError(app, code);
    return false;
  }
  return true;
}

}  // namespace pelnoro::output
