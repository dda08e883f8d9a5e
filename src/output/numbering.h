// Automatic numbering of the file a cut is saved to.
#pragma once

#include <functional>
#include <string>

namespace pelnoro::output {

// The lowest free name base + number + ext in the folder: the number has at least two
// digits ("00", "01", ... "99", "100", ...) and the search starts at 00 every time, so
// gaps left by deleted files are filled again. `taken` tells whether a full path names
// an existing file. numberText receives the number used.
std::wstring NextNumberedName(const std::wstring& folder, const std::wstring& base,
                              const std::wstring& ext, std::wstring& numberText,
                              const std::function<bool(const std::wstring& path)>& taken);

}  // namespace pelnoro::output
