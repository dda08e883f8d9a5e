#include "imagemap/map_document.h"

#include <algorithm>
#include <type_traits>
#include <utility>

#include "system/number_text.h"
#include "system/text_file.h"

namespace pelnoro::imagemap {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

// Calls f with each code point of the text: a surrogate pair (16-bit wchar_t) is
// one; a lone surrogate is passed as it is, a value beyond Unicode as U+FFFD.
template <class F>
void forEachCodePoint(std::wstring_view s, F f) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(s[i]));
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size()) {
      const auto next = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(s[i + 1]));
      if (next >= 0xDC00 && next <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
        ++i;
      }
    }
    if (c > 0x10FFFF) c = kReplacement;
    f(c);
  }
}

// Whether the document can hold the character as it is. ASCII always fits.
bool fitsAsIs(char32_t c, const CharFits& fits) {
  if (c < 0x80) return true;
  if (c > 0xFFFF || isSurrogate(c)) return false;
  return fits && fits(static_cast<wchar_t>(c));
}

// Upper-case hexadecimal, at least `digits` digits.
void appendHex(std::wstring& out, unsigned long v, int digits) {
  wchar_t buf[16];
  int n = 0;
  do {
    buf[n++] = L"0123456789ABCDEF"[v & 0xF];
    v >>= 4;
  } while (v != 0 || n < digits);
  while (n > 0) out += buf[--n];
}

void appendTwoDigits(std::wstring& out, int v) {
  v = ((v % 100) + 100) % 100;
  out += static_cast<wchar_t>(L'0' + v / 10);
  out += static_cast<wchar_t>(L'0' + v % 10);
}

void appendUtf8Escaped(std::wstring& out, char32_t c) {
  unsigned char b[4];
  int n = 0;
  if (isSurrogate(c)) c = kReplacement;
  if (c < 0x80) {
    b[n++] = static_cast<unsigned char>(c);
  } else if (c < 0x800) {
    b[n++] = static_cast<unsigned char>(0xC0 | (c >> 6));
    b[n++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    b[n++] = static_cast<unsigned char>(0xE0 | (c >> 12));
    b[n++] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    b[n++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
  } else {
    b[n++] = static_cast<unsigned char>(0xF0 | (c >> 18));
    b[n++] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
    b[n++] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    b[n++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
  }
  for (int i = 0; i < n; ++i) {
    out += L'%';
    appendHex(out, b[i], 2);
  }
}

bool isAsciiAlnum(char32_t c) {
  return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9');
}

bool isUnreserved(char32_t c) {
  return isAsciiAlnum(c) || c == U'-' || c == U'.' || c == U'_' || c == U'~';
}

bool isSubDelim(char32_t c) {
  return c == U'!' || c == U'$' || c == U'&' || c == U'\'' || c == U'(' || c == U')' || c == U'*' ||
         c == U'+' || c == U',' || c == U';' || c == U'=';
}

// Percent-encodes what the address cannot carry as it is: spaces, # % ? and other
// delimiters, control characters, and everything beyond ASCII (as UTF-8).
template <class Keep>
std::wstring percentEncode(std::wstring_view text, Keep keep) {
  std::wstring out;
  out.reserve(text.size());
  forEachCodePoint(text, [&](char32_t c) {
    if (c < 0x80 && keep(c)) {
      out += static_cast<wchar_t>(c);
    } else {
      appendUtf8Escaped(out, c);
    }
  });
  return out;
}

// A path with backslashes or slashes as the path of a file URL: runs of separators
// count as one, as the file system reads them.
std::wstring filePathForUrl(std::wstring_view path) {
  std::wstring slashed;
  slashed.reserve(path.size());
  for (wchar_t c : path) {
    const bool sep = c == L'\\' || c == L'/';
    if (sep && !slashed.empty() && slashed.back() == L'/') continue;
    slashed += sep ? L'/' : c;
  }
  return percentEncode(slashed, [](char32_t c) {
    return isUnreserved(c) || isSubDelim(c) || c == U':' || c == U'@' || c == U'/';
  });
}

bool startsWith(std::wstring_view s, std::wstring_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// The path without a \\?\ prefix (long-path form); \\?\UNC\server\... as \\server\....
std::wstring withoutLongPrefix(std::wstring_view path) {
  if (startsWith(path, L"\\\\?\\UNC\\")) return L"\\\\" + std::wstring(path.substr(8));
  if (startsWith(path, L"\\\\?\\")) return std::wstring(path.substr(4));
  return std::wstring(path);
}

bool isDriveForm(std::wstring_view p) {
  return p.size() >= 3 && ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z')) &&
         p[1] == L':' && (p[2] == L'\\' || p[2] == L'/');
}

bool isUncForm(std::wstring_view p) {
  return p.size() > 2 && p[0] == L'\\' && p[1] == L'\\' && p[2] != L'\\' && p[2] != L'/' &&
         p[2] != L'?';
}

bool isLocalPath(std::wstring_view target) {
  const std::wstring path = withoutLongPrefix(target);
  return isDriveForm(path) || isUncForm(path);
}

// Letters and digits a script identifier may carry: ASCII ones, _ and $, and the
// letters, kana and ideographs of the scripts code page 932 holds (those the
// document can keep as they are).
bool isIdentifierPart(char32_t c, const CharFits& fits) {
  if (isAsciiAlnum(c) || c == U'_' || c == U'$') return true;
  const bool letter = (c >= 0x0391 && c <= 0x03A9) || (c >= 0x03B1 && c <= 0x03C9) ||  // Greek
                      c == 0x0401 || c == 0x0451 || (c >= 0x0410 && c <= 0x044F) ||    // Cyrillic
                      (c >= 0x3005 && c <= 0x3007) ||  // 々 〆 〇
                      (c >= 0x3041 && c <= 0x3096) || (c >= 0x309D && c <= 0x309F) ||  // hiragana
                      (c >= 0x30A1 && c <= 0x30FA) || (c >= 0x30FC && c <= 0x30FF) ||  // katakana
                      (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||  // ideographs
                      (c >= 0xF900 && c <= 0xFAFF) ||                                  // ideographs
                      (c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) ||  // full width
                      c == 0xFF3F || (c >= 0xFF41 && c <= 0xFF5A) ||                   // full width
                      (c >= 0xFF66 && c <= 0xFF9F);  // half-width kana
  return letter && fitsAsIs(c, fits);
}

std::wstring number(long long v) {
  return std::to_wstring(v);
}

const std::wstring Q = L"\"";

std::wstring coordsText(const AreaCoords& c, const CharFits& fits) {
  return EscapeAttribute(c.x1, fits) + L"," + EscapeAttribute(c.y1, fits) + L"," +
         EscapeAttribute(c.x2, fits) + L"," + EscapeAttribute(c.y2, fits);
}

}  // namespace

AreaCoords CoordsOnPicture(const AreaCoords& c, int width, int height) {
  // Beside the picture means past its first or its last pixel, both whole numbers.
  auto on = [](const std::wstring& text, int side) {
    const double v = sys::LenientNumber(text);
    if (v < 0) return std::wstring(L"0");
    return v > side - 1 ? std::to_wstring(std::max(side - 1, 0)) : text;
  };
  return {on(c.x1, width), on(c.y1, height), on(c.x2, width), on(c.y2, height)};
}

bool FitsCp932(wchar_t c) {
  const std::wstring_view one(&c, 1);
  return sys::fromCp932(sys::toCp932(one)) == one;
}

std::wstring MapName(int year, int month, int day, int hour, int minute, int second) {
  std::wstring out = L"lm";
  for (int v : {year, month, day}) appendTwoDigits(out, v);
  out += L'_';
  for (int v : {hour, minute, second}) appendTwoDigits(out, v);
  return out;
}

std::wstring MapHtmlPath(const std::wstring& folder, const std::wstring& fileName,
                         bool autoNumbering, const std::wstring& numberText) {
  return folder + fileName + (autoNumbering ? numberText : std::wstring()) + L".html";
}

std::wstring BaseName(std::wstring_view fileName) {
  return std::wstring(fileName.substr(0, fileName.find(L'.')));
}

std::wstring EscapeAttribute(std::wstring_view text, const CharFits& fits) {
  std::wstring out;
  out.reserve(text.size());
  forEachCodePoint(text, [&](char32_t c) {
    switch (c) {
      case U'&':
        out += L"&amp;";
        return;
      case U'"':
        out += L"&quot;";
        return;
      case U'<':
        out += L"&lt;";
        return;
      case U'>':
        out += L"&gt;";
        return;
      case U'\'':
        out += L"&#39;";
        return;
      default:
        break;
    }
    if (c < 0x20 || c == 0x7F || !fitsAsIs(c, fits)) {
      // A reference to NUL or a lone surrogate would only be read as U+FFFD anyway; one
      // to a C1 control (0x80..0x9F) is read as the windows-1252 character of that byte.
      if (c == 0 || isSurrogate(c) || (c >= 0x80 && c <= 0x9F)) c = kReplacement;
      out += L"&#x";
      appendHex(out, c, 1);
      out += L';';
    } else {
      out += static_cast<wchar_t>(c);
    }
  });
  return out;
}

std::wstring EscapeScriptString(std::wstring_view text, const CharFits& fits) {
  std::wstring out;
  out.reserve(text.size());
  auto u = [&out](unsigned long unit) {
    out += L"\\u";
    appendHex(out, unit, 4);
  };
  forEachCodePoint(text, [&](char32_t c) {
    switch (c) {
      case U'\\':
        out += L"\\\\";
        return;
      case U'"':
        out += L"\\\"";
        return;
      case U'\'':
        out += L"\\'";
        return;
      default:
        break;
    }
    if (c < 0x20 || c == 0x7F || c == U'<' || c == U'>') {
      out += L"\\x";
      appendHex(out, c, 2);
    } else if (c == 0x2028 || c == 0x2029 || !fitsAsIs(c, fits)) {
      if (c > 0xFFFF) {
        u(0xD800 + ((c - 0x10000) >> 10));
        u(0xDC00 + ((c - 0x10000) & 0x3FF));
      } else {
        u(c);
      }
    } else {
      out += static_cast<wchar_t>(c);
    }
  });
  return out;
}

// A browser reads a bare C:\... as an address with the scheme "c", and a bare
// \\server\... as a path on the document's own host: local paths only work as
// file URLs. Typed addresses are the user's to choose and stay as they are.
std::wstring LinkAddress(std::wstring_view target) {
  const std::wstring path = withoutLongPrefix(target);
  if (isDriveForm(path)) return L"file:///" + filePathForUrl(path);
  if (isUncForm(path)) return L"file://" + filePathForUrl(std::wstring_view(path).substr(2));
  return std::wstring(target);
}

// A relative address keeps the page working wherever the folder is opened from.
// ":" is escaped too, so that no file name can pass for a scheme.
std::wstring RelativeFileAddress(std::wstring_view fileName) {
  return percentEncode(fileName,
                       [](char32_t c) { return isUnreserved(c) || isSubDelim(c) || c == U'@'; });
}

MapDocument::MapDocument(CharFits fits) : fits_(std::move(fits)) {}

std::vector<std::wstring> MapDocument::headLines(std::wstring_view imageFileName, int width,
                                                 int height, std::wstring_view mapName) {
  functions_.clear();
  const std::wstring name = EscapeAttribute(mapName, fits_);
  return {
      L"<html><p>",
      L"<img src=" + Q + EscapeAttribute(RelativeFileAddress(imageFileName), fits_) + Q +
          L" width=" + Q + number(width) + Q + L" height=" + Q + number(height) + Q + L" border=" +
          Q + L"0" + Q + L" usemap=" + Q + L"#" + name + Q + L">",
      L"<map name=" + Q + name + Q + L">",
  };
}

std::vector<std::wstring> MapDocument::plainAreaLines(const AreaCoords& c,
                                                      std::wstring_view target) const {
  return {L"<area shape=" + Q + L"rect" + Q + L" coords=" + Q + coordsText(c, fits_) + Q +
          L" href=" + Q + EscapeAttribute(LinkAddress(target), fits_) + Q + L">"};
}

std::vector<std::wstring> MapDocument::popupAreaLines(const AreaCoords& c, std::wstring_view target,
                                                      std::wstring_view slashTarget,
                                                      std::wstring_view base, int popupWidth,
                                                      int popupHeight) {
  // A local path opens as the same file URL the plain link would use; a typed
  // address with its slashes.
  const std::wstring address =
      isLocalPath(target) ? LinkAddress(target) : std::wstring(slashTarget);
  const std::wstring body = L"(){win=window.open(" + Q + EscapeScriptString(address, fits_) + Q +
                            L"," + Q + L"new" + Q + L"," + Q + L"width=" + number(popupWidth) +
                            L",height=" + number(popupHeight) + Q + L");}";
  const std::wstring name = functionName(base, body);
  return {
      L"<SCRIPT language=" + Q + L"JavaScript" + Q + L">",
      L"<!--",
      L"function " + name + body,
      L"// -->",
      L"</SCRIPT>",
      L"<area shape=" + Q + L"rect" + Q + L" coords=" + Q + coordsText(c, fits_) + Q + L" href=" +
          Q + L"javascript:void(0)" + Q + L" onClick=" + Q + name + L"()" + Q + L">",
  };
}

std::vector<std::wstring> MapDocument::areaLines(const AreaCoords& c, std::wstring_view target,
                                                 std::wstring_view slashTarget, bool popup,
                                                 std::wstring_view base, int popupWidth,
                                                 int popupHeight) {
  if (!popup) return plainAreaLines(c, target);
  return popupAreaLines(c, target, slashTarget, base, popupWidth, popupHeight);
}

std::vector<std::wstring> MapDocument::tailLines() {
  return {L"</map>", L"</p></html>"};
}

// Each popup area needs a function of its own: a.jpg and a.png both have the base
// "a", and a base such as "my photo (1)" is no identifier at all. A name may be
// used again only for the very same function (the same area linked twice).
std::wstring MapDocument::functionName(std::wstring_view base, const std::wstring& body) {
  std::wstring stem = L"Open";
  forEachCodePoint(base, [&](char32_t c) {
    stem += isIdentifierPart(c, fits_) ? static_cast<wchar_t>(c) : L'_';
  });
  auto take = [&](const std::wstring& name) {
    const auto [it, added] = functions_.emplace(name, body);
    return added || it->second == body;
  };
  if (take(stem)) return stem;
  for (int k = 2;; ++k) {
    const std::wstring name = stem + L"_" + number(k);
    if (take(name)) return name;
  }
}

}  // namespace pelnoro::imagemap
