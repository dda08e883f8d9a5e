// Code page 932 on the host build, through iconv (the Windows build converts
// with the system's own tables).
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "system/text_file.h"

namespace pelnoro::sys {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts one character's bytes into out (at most `room` bytes); returns how many
  // bytes it produced, 0 when the character has no mapping.
  std::size_t one(const char* in, std::size_t inLen, char* out, std::size_t room) {
    if (!ok()) return 0;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    char* dst = out;
    std::size_t left = inLen;
    if (iconv(cd_, &src, &left, &dst, &room) == static_cast<std::size_t>(-1) || left != 0) return 0;
    return static_cast<std::size_t>(dst - out);
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string toCp932(std::wstring_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  Converter conv("CP932", "WCHAR_T");
  for (wchar_t c : text) {
    char bytes[8];
    const std::size_t n =
        conv.one(reinterpret_cast<const char*>(&c), sizeof c, bytes, sizeof bytes);
    if (n == 0) {
      // An unmappable character becomes '?', as the platform's conversion makes it.
      out.push_back('?');
    } else {
      out.append(bytes, n);
    }
  }
  return out;
}

std::wstring fromCp932(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  Converter conv("WCHAR_T", "CP932");
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    const std::size_t n = (lead && i + 1 < bytes.size()) ? 2 : 1;
    wchar_t wide[4];
    const std::size_t got =
        conv.one(bytes.data() + i, n, reinterpret_cast<char*>(wide), sizeof wide);
    if (got >= sizeof(wchar_t)) {
      out.append(wide, got / sizeof(wchar_t));
    } else {
      out.push_back(L'\x30FB');  // KATAKANA MIDDLE DOT stands in for an undecodable byte
    }
    i += n;
  }
  return out;
}

}  // namespace pelnoro::sys
