#include "output/numbering.h"

namespace pelnoro::output {

std::wstring NextNumberedName(const std::wstring& folder, const std::wstring& base,
                              const std::wstring& ext, std::wstring& numberText,
                              const std::function<bool(const std::wstring& path)>& taken) {
  long n = 0;
  numberText = L"00";
  while (taken(folder + base + numberText + ext)) {
    ++n;
    numberText = n >= 10 ? std::to_wstring(n) : L"0" + std::to_wstring(n);
  }
  return base + numberText + ext;
}

}  // namespace pelnoro::output
