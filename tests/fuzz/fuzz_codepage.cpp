// libFuzzer target: the Shift_JIS conversions both ways and the text-file reader's
// decoding. The input is used twice: as the bytes of a file, and as wide text (read
// loosely as UTF-8, so that surrogates and values beyond Unicode come up too).
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "system/text_file.h"
#include "wide_input.h"

using namespace pelnoro;
using fuzz::IsSurrogate;
using fuzz::Unit;

namespace {

bool validScalars(const std::wstring& s) {
  for (wchar_t c : s) {
    if (Unit(c) > 0x10FFFF || IsSurrogate(Unit(c))) return false;
  }
  return true;
}

// What a Unicode encoding can carry of the text: anything else as U+FFFD.
std::wstring scalarsOnly(std::wstring s) {
  for (wchar_t& c : s) {
    if (Unit(c) > 0x10FFFF || IsSurrogate(Unit(c))) c = L'\xFFFD';
  }
  return s;
}

std::string utf8(const std::wstring& s) {
  std::string out;
  for (wchar_t w : s) {
    const std::uint32_t c = Unit(w);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string utf16(const std::wstring& s, bool bigEndian) {
  std::string out;
  auto unit = [&](std::uint32_t u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  };
  for (wchar_t w : s) {
    const std::uint32_t c = Unit(w);
    if (c < 0x10000) {
      unit(c);
    } else {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

// Decodes from a buffer of exactly the text's size, so that a read past its end is caught.
std::wstring decodeExact(const std::string& bytes) {
  const std::vector<char> exact(bytes.begin(), bytes.end());
  return sys::decodeText(std::string_view(exact.data(), exact.size()));
}

void checkLines(const std::wstring& text) {
  const auto lines = sys::splitLines(text);
  std::wstring written;
  for (const auto& l : lines) {
    PELNORO_FUZZ_CHECK(l.find_first_of(L"\r\n") == std::wstring::npos);
    written += l + L"\r\n";
  }
  // Lines written as the program writes them read back as the same lines.
  PELNORO_FUZZ_CHECK(sys::splitLines(written) == lines);
}

void checkBytes(std::string_view bytes) {
  const std::wstring text = sys::fromCp932(bytes);
  PELNORO_FUZZ_CHECK(validScalars(text));
  PELNORO_FUZZ_CHECK(text.size() <= bytes.size());
  // What was read can be written back and reads the same.
  PELNORO_FUZZ_CHECK(sys::fitsCp932(text));
  PELNORO_FUZZ_CHECK(sys::fromCp932(sys::toCp932(text)) == text);
  bool ascii = true;
  for (char b : bytes) ascii = ascii && static_cast<unsigned char>(b) < 0x80;
  if (ascii) PELNORO_FUZZ_CHECK(text == std::wstring(bytes.begin(), bytes.end()));

  std::wstring decoded;
  try {
    decoded = sys::decodeText(bytes);
  } catch (const std::exception&) {
    PELNORO_FUZZ_CHECK(!"decodeText threw");
  }
  PELNORO_FUZZ_CHECK(validScalars(decoded));
  const bool bom = bytes.substr(0, 3) == "\xEF\xBB\xBF" || bytes.substr(0, 2) == "\xFF\xFE" ||
                   bytes.substr(0, 2) == "\xFE\xFF";
  if (!bom) PELNORO_FUZZ_CHECK(decoded == text);
  checkLines(decoded);
}

void checkWide(const std::wstring& text) {
  const std::string bytes = sys::toCp932(text);
  const std::wstring back = sys::fromCp932(bytes);
  // Each character stands as one: itself, or a stand-in when it does not fit.
  PELNORO_FUZZ_CHECK(back.size() == text.size());
  bool each = true;
  for (wchar_t c : text) each = each && sys::fitsCp932(std::wstring(1, c));
  PELNORO_FUZZ_CHECK(sys::fitsCp932(text) == each);
  if (sys::fitsCp932(text)) PELNORO_FUZZ_CHECK(back == text);
  // One round trip settles the text: a second changes nothing.
  PELNORO_FUZZ_CHECK(sys::fitsCp932(back));
  PELNORO_FUZZ_CHECK(sys::toCp932(back) == bytes);

  // A file saved as UTF-8 or UTF-16 with its byte-order mark reads as the text.
  const std::wstring unicode = scalarsOnly(text);
  PELNORO_FUZZ_CHECK(decodeExact("\xEF\xBB\xBF" + utf8(unicode)) == unicode);
  PELNORO_FUZZ_CHECK(decodeExact("\xFF\xFE" + utf16(unicode, false)) == unicode);
  PELNORO_FUZZ_CHECK(decodeExact("\xFE\xFF" + utf16(unicode, true)) == unicode);
  checkLines(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // libFuzzer's buffer has the input's exact size: a read past it is caught.
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  checkBytes(bytes);
  checkWide(fuzz::LooseUtf8(bytes));
  return 0;
}
