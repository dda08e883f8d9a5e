// libFuzzer target: the clickable-map document's lines from hostile image names, map
// names, link targets, bases and coordinates. Every line must parse as the tag it is
// meant to be, carry back exactly what went into it, and survive Shift_JIS.
//
// The input is fields between bytes 0xFF, each read loosely as UTF-8 (wide_input.h):
// numbers, image file name, map name, then per area: target, base, x1, y1, x2, y2.
// The numbers field gives the picture size and, per area, whether it is a popup
// (bit 0), whether a new document starts before it (bit 1) and its popup size.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "imagemap/map_document.h"
#include "system/text_file.h"
#include "wide_input.h"

using namespace pelnoro;
using fuzz::IsSurrogate;
using fuzz::Unit;
using imagemap::MapDocument;
using Lines = std::vector<std::wstring>;

namespace {

bool startsWith(std::wstring_view s, std::wstring_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

int hexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

// What a browser makes of a numeric character reference.
std::uint32_t referencedCharacter(std::uint32_t v) {
  if (v == 0 || v > 0x10FFFF || IsSurrogate(v)) return 0xFFFD;
  // 0x80..0x9F are read as the windows-1252 characters, where it has one.
  static const std::uint16_t kC1[32] = {
      0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
  if (v >= 0x80 && v <= 0x9F) return kC1[v - 0x80];
  return v;
}

// The text an attribute value stands for. The writer uses only these references; a
// bare "&" would be read as the start of another.
std::wstring unescapeAttribute(std::wstring_view v) {
  std::wstring out;
  std::size_t i = 0;
  while (i < v.size()) {
    if (v[i] != L'&') {
      out += v[i++];
      continue;
    }
    const std::size_t semi = v.find(L';', i);
    PELNORO_FUZZ_CHECK(semi != std::wstring_view::npos);
    const std::wstring_view ref = v.substr(i + 1, semi - i - 1);
    if (ref == L"amp") {
      out += L'&';
    } else if (ref == L"quot") {
      out += L'"';
    } else if (ref == L"lt") {
      out += L'<';
    } else if (ref == L"gt") {
      out += L'>';
    } else if (ref == L"#39") {
      out += L'\'';
    } else {
      PELNORO_FUZZ_CHECK(ref.size() > 2 && ref.size() <= 9 && startsWith(ref, L"#x"));
      std::uint32_t c = 0;
      for (wchar_t h : ref.substr(2)) {
        PELNORO_FUZZ_CHECK(hexValue(h) >= 0);
        c = c * 16 + static_cast<std::uint32_t>(hexValue(h));
      }
      out += static_cast<wchar_t>(referencedCharacter(c));
    }
    i = semi + 1;
  }
  return out;
}

// The code points of a text read as UTF-16 (so that the program reads it as on
// Windows): a high and a low surrogate make one; values beyond Unicode are U+FFFD.
std::u32string codePoints(std::wstring_view s) {
  std::u32string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    std::uint32_t c = Unit(s[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && Unit(s[i + 1]) >= 0xDC00 &&
        Unit(s[i + 1]) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (Unit(s[++i]) - 0xDC00);
    }
    out += static_cast<char32_t>(c > 0x10FFFF ? 0xFFFD : c);
  }
  return out;
}

// The text as a percent-encoded address carries it: a lone surrogate as U+FFFD.
std::wstring asUrlCarries(std::wstring_view s) {
  std::wstring out;
  for (char32_t c : codePoints(s)) out += static_cast<wchar_t>(IsSurrogate(c) ? 0xFFFD : c);
  return out;
}

// The text as an HTML page can carry it: NUL and lone surrogates as U+FFFD.
std::wstring asHtmlReads(std::wstring_view s) {
  std::wstring out;
  for (char32_t c : codePoints(s))
    out += static_cast<wchar_t>(c == 0 || IsSurrogate(c) ? 0xFFFD : c);
  return out;
}

// Whether an attribute value read back gives the text. A C1 control character has no
// reference of its own in a Shift_JIS page: U+FFFD may stand for it.
bool readsAs(std::wstring_view read, std::wstring_view text) {
  const std::wstring expected = asHtmlReads(text);
  if (read.size() != expected.size()) return false;
  for (std::size_t i = 0; i < read.size(); ++i) {
    const std::uint32_t c = Unit(expected[i]);
    if (read[i] != expected[i] && !(c >= 0x80 && c <= 0x9F && read[i] == L'\xFFFD')) return false;
  }
  return true;
}

// The text as UTF-16 code units, as a script sees a string.
std::u16string asScriptReads(std::wstring_view s) {
  std::u16string out;
  for (wchar_t c : s) {
    std::uint32_t u = Unit(c);
    if (u > 0x10FFFF) u = 0xFFFD;
    if (u > 0xFFFF) {
      out += static_cast<char16_t>(0xD800 + ((u - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((u - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(u);
    }
  }
  return out;
}

// A tag line: "<" name, then attributes name="value" separated by one space, then ">".
// Values hold no raw " < or >. Returns the raw values by name.
std::map<std::wstring, std::wstring> parseTag(std::wstring_view line, std::wstring_view tag) {
  PELNORO_FUZZ_CHECK(startsWith(line, L"<" + std::wstring(tag)));
  PELNORO_FUZZ_CHECK(!line.empty() && line.back() == L'>');
  std::map<std::wstring, std::wstring> attributes;
  std::size_t i = 1 + tag.size();
  while (i < line.size() - 1) {
    PELNORO_FUZZ_CHECK(line[i] == L' ');
    const std::size_t eq = line.find(L'=', i);
    PELNORO_FUZZ_CHECK(eq != std::wstring_view::npos && eq > i + 1);
    const std::wstring name(line.substr(i + 1, eq - i - 1));
    for (wchar_t c : name) {
      PELNORO_FUZZ_CHECK((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'));
    }
    PELNORO_FUZZ_CHECK(eq + 1 < line.size() && line[eq + 1] == L'"');
    const std::size_t close = line.find(L'"', eq + 2);
    PELNORO_FUZZ_CHECK(close != std::wstring_view::npos && close < line.size() - 1);
    const std::wstring value(line.substr(eq + 2, close - eq - 2));
    PELNORO_FUZZ_CHECK(value.find_first_of(L"<>") == std::wstring::npos);
    PELNORO_FUZZ_CHECK(attributes.emplace(name, value).second);
    i = close + 1;
  }
  return attributes;
}

bool isUrlSafe(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
         std::wstring_view(L"-._~!$&'()*+,;=@%").find(c) != std::wstring_view::npos;
}

// Percent escapes undone, as UTF-8 read strictly; nothing when they are no UTF-8.
std::optional<std::wstring> percentDecoded(std::wstring_view s) {
  std::string bytes;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != L'%') {
      if (Unit(s[i]) >= 0x80) return std::nullopt;
      bytes += static_cast<char>(s[i]);
      continue;
    }
    if (i + 2 >= s.size() || hexValue(s[i + 1]) < 0 || hexValue(s[i + 2]) < 0) return std::nullopt;
    bytes += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
    i += 2;
  }
  std::wstring out;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const int extra = b < 0x80                ? 0
                      : b >= 0xC2 && b < 0xE0 ? 1
                      : b >= 0xE0 && b < 0xF0 ? 2
                      : b >= 0xF0 && b < 0xF5 ? 3
                                              : -1;
    if (extra < 0 || i + extra >= bytes.size()) return std::nullopt;
    std::uint32_t c = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto t = static_cast<unsigned char>(bytes[i + k]);
      if ((t & 0xC0) != 0x80) return std::nullopt;
      c = c << 6 | (t & 0x3F);
    }
    static const std::uint32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[extra] || c > 0x10FFFF || IsSurrogate(c)) return std::nullopt;
    out += static_cast<wchar_t>(c);
    i += extra + 1;
  }
  return out;
}

// The string literal at the start of s (after its opening quote) as a script reads it;
// `end` is set past its closing quote.
std::u16string scriptString(std::wstring_view s, std::size_t& end) {
  std::u16string out;
  std::size_t i = 0;
  for (;;) {
    PELNORO_FUZZ_CHECK(i < s.size());
    const wchar_t c = s[i++];
    if (c == L'"') break;
    // A raw line break would end the statement, "<" could close the script element.
    PELNORO_FUZZ_CHECK(c != L'\r' && c != L'\n' && c != 0x2028 && c != 0x2029 && c != L'<');
    if (c != L'\\') {
      PELNORO_FUZZ_CHECK(Unit(c) <= 0xFFFF && !IsSurrogate(Unit(c)));
      out += static_cast<char16_t>(c);
      continue;
    }
    PELNORO_FUZZ_CHECK(i < s.size());
    const wchar_t e = s[i++];
    if (e == L'\\' || e == L'"' || e == L'\'') {
      out += static_cast<char16_t>(e);
    } else if (e == L'x' || e == L'u') {
      const std::size_t digits = e == L'x' ? 2 : 4;
      PELNORO_FUZZ_CHECK(i + digits <= s.size());
      std::uint32_t v = 0;
      for (std::size_t k = 0; k < digits; ++k) {
        PELNORO_FUZZ_CHECK(hexValue(s[i + k]) >= 0);
        v = v * 16 + static_cast<std::uint32_t>(hexValue(s[i + k]));
      }
      out += static_cast<char16_t>(v);
      i += digits;
    } else {
      PELNORO_FUZZ_CHECK(!"unknown escape");
    }
  }
  end = i;
  return out;
}

// A script identifier: ASCII letters, digits, _ and $, and after the first character
// the letters of the kinds a Shift_JIS document holds (Greek, Cyrillic, kana,
// ideographs, full-width letters and digits, half-width kana).
bool isIdentifier(std::wstring_view name) {
  if (name.empty()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const std::uint32_t c = Unit(name[i]);
    auto in = [c](std::uint32_t first, std::uint32_t last) { return c >= first && c <= last; };
    const bool ascii =
        in('a', 'z') || in('A', 'Z') || c == '_' || c == '$' || (i > 0 && in('0', '9'));
    const bool letter =
        (in(0x0391, 0x03C9) && c != 0x03A2) || in(0x0400, 0x045F) || in(0x3005, 0x3007) ||
        in(0x3041, 0x3096) || in(0x309D, 0x309F) || in(0x30A1, 0x30FA) || in(0x30FC, 0x30FF) ||
        in(0x3400, 0x4DBF) || in(0x4E00, 0x9FFF) || in(0xF900, 0xFAFF) || in(0xFF10, 0xFF19) ||
        in(0xFF21, 0xFF3A) || c == 0xFF3F || in(0xFF41, 0xFF5A) || in(0xFF66, 0xFF9F);
    if (!ascii && !(i > 0 && letter)) return false;
  }
  return true;
}

class Checker {
 public:
  explicit Checker(FuzzedDataProvider& numbers) : numbers_(numbers) {}

  void head(std::wstring_view imageName, std::wstring_view mapName) {
    const int width = numbers_.ConsumeIntegral<int>(), height = numbers_.ConsumeIntegral<int>();
    const Lines lines = doc_.headLines(imageName, width, height, mapName);
    functions_.clear();
    checkCommon(lines);
    PELNORO_FUZZ_CHECK(lines.size() == 3 && lines[0] == L"<html><p>");
    auto img = parseTag(lines[1], L"img");
    PELNORO_FUZZ_CHECK(img.size() == 5 && img[L"width"] == std::to_wstring(width) &&
                       img[L"height"] == std::to_wstring(height) && img[L"border"] == L"0");
    // The image is named relative to the document: no scheme, no folder, nothing that
    // ends the path; its escapes give back the file name.
    const std::wstring src = unescapeAttribute(img[L"src"]);
    for (wchar_t c : src) PELNORO_FUZZ_CHECK(isUrlSafe(c));
    const auto name = percentDecoded(src);
    PELNORO_FUZZ_CHECK(name && *name == asUrlCarries(imageName));
    auto map = parseTag(lines[2], L"map");
    PELNORO_FUZZ_CHECK(map.size() == 1 && img[L"usemap"] == L"#" + map[L"name"]);
    PELNORO_FUZZ_CHECK(readsAs(unescapeAttribute(map[L"name"]), mapName));
  }

  void area(const imagemap::AreaCoords& c, std::wstring_view target, std::wstring_view base,
            bool popup) {
    std::wstring slashTarget(target);
    for (auto& ch : slashTarget) ch = ch == L'\\' ? L'/' : ch;
    const int popupWidth = numbers_.ConsumeIntegral<int>();
    const int popupHeight = numbers_.ConsumeIntegral<int>();
    const Lines lines =
        doc_.areaLines(c, target, slashTarget, popup, base, popupWidth, popupHeight);
    checkCommon(lines);
    PELNORO_FUZZ_CHECK(lines.size() == (popup ? 6u : 1u));
    auto area = parseTag(lines.back(), L"area");
    PELNORO_FUZZ_CHECK(area.size() == (popup ? 4u : 3u) && area[L"shape"] == L"rect");
    PELNORO_FUZZ_CHECK(readsAs(unescapeAttribute(area[L"coords"]),
                               c.x1 + L"," + c.y1 + L"," + c.x2 + L"," + c.y2));
    const std::wstring address = imagemap::LinkAddress(target);
    if (address != target) {
      // A local path became a file URL that carries it whole.
      PELNORO_FUZZ_CHECK(startsWith(address, L"file://"));
      for (wchar_t ch : address.substr(7))
        PELNORO_FUZZ_CHECK(isUrlSafe(ch) || ch == L':' || ch == L'/');
      PELNORO_FUZZ_CHECK(percentDecoded(address.substr(7)).has_value());
    }
    if (!popup) {
      PELNORO_FUZZ_CHECK(readsAs(unescapeAttribute(area[L"href"]), address));
      return;
    }
    PELNORO_FUZZ_CHECK(area[L"href"] == L"javascript:void(0)");
    PELNORO_FUZZ_CHECK(lines[0] == L"<SCRIPT language=\"JavaScript\">" && lines[1] == L"<!--" &&
                       lines[3] == L"// -->" && lines[4] == L"</SCRIPT>");
    // function NAME(){win=window.open("ADDRESS","new","width=W,height=H");}
    const std::wstring& f = lines[2];
    PELNORO_FUZZ_CHECK(startsWith(f, L"function "));
    const std::size_t paren = f.find(L'(');
    PELNORO_FUZZ_CHECK(paren != std::wstring::npos);
    const std::wstring name = f.substr(9, paren - 9);
    PELNORO_FUZZ_CHECK(isIdentifier(name));
    const std::wstring open = L"(){win=window.open(\"";
    PELNORO_FUZZ_CHECK(f.compare(paren, open.size(), open) == 0);
    std::size_t end = 0;
    const std::u16string opened =
        scriptString(std::wstring_view(f).substr(paren + open.size()), end);
    PELNORO_FUZZ_CHECK(opened == asScriptReads(address != target ? address : slashTarget));
    PELNORO_FUZZ_CHECK(f.substr(paren + open.size() + end) ==
                       L",\"new\",\"width=" + std::to_wstring(popupWidth) + L",height=" +
                           std::to_wstring(popupHeight) + L"\");}");
    // The area calls the function just defined; no other popup of the run has its name.
    PELNORO_FUZZ_CHECK(area[L"onClick"] == name + L"()");
    const auto [it, added] = functions_.emplace(name, f);
    PELNORO_FUZZ_CHECK(added || it->second == f);
  }

  void tail() {
    const Lines lines = MapDocument::tailLines();
    PELNORO_FUZZ_CHECK((lines == Lines{L"</map>", L"</p></html>"}));
  }

 private:
  // Every line: no line break or other control character, nothing Shift_JIS cannot hold.
  static void checkCommon(const Lines& lines) {
    for (const auto& line : lines) {
      for (wchar_t c : line) PELNORO_FUZZ_CHECK(Unit(c) >= 0x20 && Unit(c) != 0x7F);
      PELNORO_FUZZ_CHECK(sys::fitsCp932(line));
      std::wstring lower = line;
      for (auto& c : lower) c = c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c;
      if (lower.find(L"</script") != std::wstring::npos) PELNORO_FUZZ_CHECK(lower == L"</script>");
    }
  }

  FuzzedDataProvider& numbers_;
  MapDocument doc_;
  std::map<std::wstring, std::wstring> functions_;  // name -> its definition line
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = fuzz::Fields(data, size);
  FuzzedDataProvider numbers(reinterpret_cast<const std::uint8_t*>(fields[0].data()),
                             fields[0].size());
  auto text = [&](std::size_t i) {
    return i < fields.size() ? fuzz::LooseUtf8(fields[i]) : std::wstring();
  };

  const std::wstring imageName = text(1), mapName = text(2);
  // A base is a file name up to its first dot.
  const std::wstring base = imagemap::BaseName(imageName);
  PELNORO_FUZZ_CHECK(imageName.compare(0, base.size(), base) == 0 &&
                     base.find(L'.') == std::wstring::npos &&
                     (base.size() == imageName.size() || imageName[base.size()] == L'.'));

  Checker check(numbers);
  check.head(imageName, mapName);
  for (std::size_t i = 3; i < fields.size(); i += 6) {
    const auto flags = numbers.ConsumeIntegral<std::uint8_t>();
    if (flags & 2) check.head(imageName, mapName);
    check.area({text(i + 2), text(i + 3), text(i + 4), text(i + 5)}, text(i), text(i + 1),
               (flags & 1) != 0);
  }
  check.tail();
  return 0;
}
