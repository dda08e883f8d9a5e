// Which format a save writes, and under which name: the file written always carries
// the extension of the format written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "program/settings.h"

namespace pelnoro::output {

// The file formats a save writes.
enum class ImageFormat { kJpeg, kPng, kBmp };

// The format an extension names: ".JPG", ".PNG" or ".BMP", compared exactly (letter
// case included); nothing for any other text.
std::optional<ImageFormat> FormatOfExtension(const std::wstring& ext);

struct SaveTarget {
  std::wstring fileName;
  std::wstring ext;  // ".JPG", ".PNG" or ".BMP"
  bool operator==(const SaveTarget&) const = default;
};

// The extension a save format writes: ".JPG", ".PNG" or ".BMP"; "" for the clipboard
// and for no format chosen.
std::wstring ExtensionFor(program::SaveFormat format);

// The format's extension a name ends in (".JPG" for .jpg, .JPG and .jpeg alike,
// ".PNG", ".BMP"); "" when it ends in none of them.
std::wstring FormatExtensionOf(const std::wstring& fileName);

// A name ending in a format's extension is written in that format; any other name
// in the chosen format, under the name as it stands.
SaveTarget ResolveSaveTarget(const std::wstring& fileName, const std::wstring& chosenExt);

// Whether Windows can create a file of this name as it stands: not empty, no control
// character, none of \ / : * ? " < > |, no device name (CON, NUL, COM1...), with or
// without an extension, and no end in a dot or a space, which would be dropped.
bool IsWritableFileName(std::wstring_view name);

// The name with its extension (the part from its last ".", if any) replaced by ext.
std::wstring WithExtension(const std::wstring& fileName, const std::wstring& ext);

}  // namespace pelnoro::output
