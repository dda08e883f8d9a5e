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
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  // Converts one unit at a time where the whole fails, so an unmappable
  // character becomes '?' as the platform's conversion makes it.
  bool run(const char* in, std::size_t inLen, std::string& out) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buf[64];
    char* src = const_cast<char*>(in);
    std::size_t left = inLen;
    while (left > 0) {
      char* dst = buf;
      std::size_t room = sizeof buf;
      const std::size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string toCp932(std::wstring_view text) {
  std::string out;
  Converter conv("CP932", "WCHAR_T");
  for (wchar_t c : text) {
    std::string one;
    if (!conv.run(reinterpret_cast<const char*>(&c), sizeof c, one) || one.empty()) one = "?";
    out += one;
  }
  return out;
}

std::wstring fromCp932(std::string_view bytes) {
  std::wstring out;
  Converter conv("WCHAR_T", "CP932");
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    const std::size_t n = (lead && i + 1 < bytes.size()) ? 2 : 1;
    std::string wide;
    if (conv.run(bytes.data() + i, n, wide) && wide.size() >= sizeof(wchar_t)) {
      wchar_t c;
      for (std::size_t k = 0; k + sizeof c <= wide.size(); k += sizeof c) {
        std::memcpy(&c, wide.data() + k, sizeof c);
        out.push_back(c);
      }
    } else {
      out.push_back(L'\x30FB');  // KATAKANA MIDDLE DOT stands in for an undecodable byte
    }
    i += n;
  }
  return out;
}

}  // namespace pelnoro::sys
