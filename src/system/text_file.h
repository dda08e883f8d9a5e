// Text files as the program keeps them: Shift_JIS (code page 932) lines ended by
// CR LF, whatever the system's own code page is.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/system.h"

namespace pelnoro::sys {

std::string toCp932(std::wstring_view text);
std::wstring fromCp932(std::string_view bytes);
// Whether the text comes back unchanged from Shift_JIS: a path that does not would be
// read back as another path.
bool fitsCp932(std::wstring_view text);

// A text file's bytes as text: UTF-8 or UTF-16 (either byte order) when the file starts
// with that byte-order mark, as an editor may save it; otherwise Shift_JIS.
std::wstring decodeText(std::string_view bytes);

// Splits at CR LF, lone CR or lone LF; a last line without an end counts.
std::vector<std::wstring> splitLines(const std::wstring& text);

// Nothing when the file cannot be read.
std::optional<std::vector<std::wstring>> readTextLines(System& sys, const std::wstring& path);
bool writeTextLines(System& sys, const std::wstring& path, const std::vector<std::wstring>& lines);

}  // namespace pelnoro::sys
