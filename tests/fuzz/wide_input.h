// Shared by the fuzz targets: wide texts from fuzzed bytes, and a way to stop on a
// broken property that libFuzzer reports as a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace pelnoro::fuzz {

// Prints what broke, then stops the run with a crash that libFuzzer records.
#define PELNORO_FUZZ_CHECK(cond)                                                       \
  do {                                                                                 \
    if (!(cond)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #cond); \
      __builtin_trap();                                                                \
    }                                                                                  \
  } while (0)

// Bytes as wide text, UTF-8 read without its rules so that seeds stay readable and
// every value can still come up: a well-formed sequence of 2 to 6 bytes gives its
// value even when it is overlong, a surrogate or beyond U+10FFFF; any other byte of
// 0x80 and above stands for itself (U+0080..U+00FF).
inline std::wstring LooseUtf8(std::string_view b) {
  std::wstring out;
  std::size_t i = 0;
  while (i < b.size()) {
    const auto c = static_cast<unsigned char>(b[i]);
    const int extra = c < 0xC0   ? 0
                      : c < 0xE0 ? 1
                      : c < 0xF0 ? 2
                      : c < 0xF8 ? 3
                      : c < 0xFC ? 4
                      : c < 0xFE ? 5
                                 : 0;
    std::uint32_t v = extra == 0 ? c : c & (0x7F >> (extra + 1));
    bool whole = extra > 0 && i + extra < b.size();
    for (int k = 1; whole && k <= extra; ++k) {
      const auto t = static_cast<unsigned char>(b[i + k]);
      whole = (t & 0xC0) == 0x80;
      v = v << 6 | (t & 0x3F);
    }
    if (whole) {
      out.push_back(static_cast<wchar_t>(v));
      i += extra + 1;
    } else {
      out.push_back(static_cast<wchar_t>(c));
      ++i;
    }
  }
  return out;
}

// The pieces of the input between bytes 0xFF (which no UTF-8 text holds).
inline std::vector<std::string_view> Fields(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string_view> fields;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = all.find('\xFF', start);
    fields.push_back(all.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return fields;
    start = end + 1;
  }
}

inline bool IsSurrogate(std::uint32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

inline std::uint32_t Unit(wchar_t c) {
  return static_cast<std::uint32_t>(c);
}

}  // namespace pelnoro::fuzz
