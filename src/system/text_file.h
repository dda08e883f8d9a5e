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

// Splits at CR LF, lone CR or lone LF; a last line without an end counts.
std::vector<std::wstring> splitLines(const std::wstring& text);

// Nothing when the file cannot be read.
std::optional<std::vector<std::wstring>> readTextLines(System& sys, const std::wstring& path);
bool writeTextLines(System& sys, const std::wstring& path, const std::vector<std::wstring>& lines);

}  // namespace pelnoro::sys
