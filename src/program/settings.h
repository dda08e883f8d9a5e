// The settings as the property box's controls hold them, read at the moment an
// operation needs them. Only the property box writes them.
#pragma once

#include <string>

namespace pelnoro::program {

enum class SaveFormat { kNone, kClipboard, kJpeg, kPng, kBmp };

struct Settings {
  SaveFormat format = SaveFormat::kBmp;
  std::wstring fileName;  // base name, without number and extension
  bool autoNumbering = true;
  std::wstring saveFolder;   // ends with a backslash, or empty
  std::wstring jpegQuality;  // the caption as shown: a decimal text 0..100
  int pngLevel = 0;          // 0 normal, 1 low, 2 highest compression
  bool mapToText = true;     // the map document goes to the text view
  bool mapToHtml = false;    // the map document goes to an .html file
};

}  // namespace pelnoro::program
