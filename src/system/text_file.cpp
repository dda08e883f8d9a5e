#include "system/text_file.h"

namespace pelnoro::sys {

std::vector<std::wstring> splitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::wstring cur;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      lines.push_back(std::move(cur));
      cur.clear();
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) lines.push_back(std::move(cur));
  return lines;
}

namespace {

void appendCodePoint(std::wstring& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (sizeof(wchar_t) == 2 && c > 0xFFFF) {
    c -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
  } else {
    out.push_back(static_cast<wchar_t>(c));
  }
}

std::wstring fromUtf8(std::string_view b) {
  std::wstring out;
  std::size_t i = 0;
  while (i < b.size()) {
    const auto c = static_cast<unsigned char>(b[i]);
    const int extra = c < 0x80 ? 0 : c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : -1;
    if (extra < 0 || i + extra >= b.size()) {
      out.push_back(L'\xFFFD');  // a stray or cut-off byte
      ++i;
      continue;
    }
    char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      const auto t = static_cast<unsigned char>(b[i + k]);
      if ((t & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (!ok) {
      out.push_back(L'\xFFFD');
      ++i;
      continue;
    }
    appendCodePoint(out, cp);
    i += extra + 1;
  }
  return out;
}

std::wstring fromUtf16(std::string_view b, bool bigEndian) {
  std::wstring out;
  for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
    const auto hi = static_cast<unsigned char>(b[bigEndian ? i : i + 1]);
    const auto lo = static_cast<unsigned char>(b[bigEndian ? i + 1 : i]);
    const char16_t u = static_cast<char16_t>(hi << 8 | lo);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < b.size()) {
      const auto hi2 = static_cast<unsigned char>(b[bigEndian ? i + 2 : i + 3]);
      const auto lo2 = static_cast<unsigned char>(b[bigEndian ? i + 3 : i + 2]);
      const char16_t v = static_cast<char16_t>(hi2 << 8 | lo2);
      if (v >= 0xDC00 && v <= 0xDFFF) {
        appendCodePoint(out, 0x10000 + ((char32_t{u} - 0xD800) << 10) + (v - 0xDC00));
        i += 2;
        continue;
      }
    }
    appendCodePoint(out, u);
  }
  return out;
}

}  // namespace

bool fitsCp932(std::wstring_view text) {
  return fromCp932(toCp932(text)) == text;
}

std::wstring decodeText(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return fromUtf8(bytes.substr(3));
  if (bytes.substr(0, 2) == "\xFF\xFE") return fromUtf16(bytes.substr(2), false);
  if (bytes.substr(0, 2) == "\xFE\xFF") return fromUtf16(bytes.substr(2), true);
  return fromCp932(bytes);
}

std::optional<std::vector<std::wstring>> readTextLines(System& sys, const std::wstring& path) {
  auto bytes = sys.readFile(path);
  if (!bytes) return std::nullopt;
  return splitLines(decodeText(*bytes));
}

bool writeTextLines(System& sys, const std::wstring& path, const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (const auto& l : lines) {
    text += l;
    text += L"\r\n";
  }
  return sys.writeFileReplacing(path, BytesOf(toCp932(text))) == WriteResult::kOk;
}

}  // namespace pelnoro::sys
