#include "system/number_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace pelnoro::sys {

double LenientNumber(std::wstring_view text) {
  std::string digits;
  bool seenDigit = false, seenPoint = false, seenSign = false;
  for (wchar_t c : text) {
    if (c == L' ' || c == L'\t' || c == L'\x3000') continue;
    if ((c == L'-' || c == L'+') && !seenSign && !seenDigit && !seenPoint) {
      seenSign = true;
      digits.push_back(static_cast<char>(c));
    } else if (c >= L'0' && c <= L'9') {
      seenDigit = true;
      digits.push_back(static_cast<char>(c));
    } else if (c == L'.' && !seenPoint) {
      seenPoint = true;
      digits.push_back('.');
    } else {
      break;
    }
  }
  if (!seenDigit) return 0;
  return std::strtod(digits.c_str(), nullptr);
}

long RoundHalfEven(double v) {
  if (!std::isfinite(v)) return 0;
  const double r = v - std::floor(v) == 0.5 ? 2 * std::round(v / 2) : std::round(v);
  if (r > 2147483647.0) return 2147483647L;
  if (r < -2147483648.0) return -2147483647L - 1;
  return static_cast<long>(r);
}

std::wstring SingleText(double v) {
  const float f = static_cast<float>(v);
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, f, std::chars_format::fixed);
  std::string s(buf, res.ptr);
  if (s == "-0") s.erase(0, 1);
  return std::wstring(s.begin(), s.end());
}

}  // namespace pelnoro::sys
