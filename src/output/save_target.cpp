#include "output/save_target.h"

#include <cwctype>

#include "output/texts.h"

namespace pelnoro::output {

namespace {

bool endsWithNoCase(const std::wstring& s, const std::wstring& tail) {
  if (s.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    if (std::towupper(s[s.size() - tail.size() + i]) != std::towupper(tail[i])) return false;
  }
  return true;
}

bool isDeviceName(std::wstring_view base) {
  while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
  std::wstring upper(base);
  for (auto& c : upper) c = static_cast<wchar_t>(std::towupper(c));
  for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
    if (upper == device) return true;
  }
  return upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT")) &&
         upper[3] >= L'1' && upper[3] <= L'9';
}

}  // namespace

bool IsWritableFileName(std::wstring_view name) {
  if (name.empty() || name.back() == L'.' || name.back() == L' ') return false;
  for (const wchar_t c : name) {
    if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) {
      return false;
    }
  }
  return !isDeviceName(name.substr(0, name.find(L'.')));
}

std::wstring ExtensionFor(program::SaveFormat format) {
  switch (format) {
    case program::SaveFormat::kJpeg:
      return text::kExtJpeg;
    case program::SaveFormat::kPng:
      return text::kExtPng;
    case program::SaveFormat::kBmp:
      return text::kExtBmp;
    case program::SaveFormat::kClipboard:
    case program::SaveFormat::kNone:
      break;
  }
  return L"";
}

std::optional<ImageFormat> FormatOfExtension(const std::wstring& ext) {
  if (ext == text::kExtJpeg) return ImageFormat::kJpeg;
  if (ext == text::kExtPng) return ImageFormat::kPng;
  if (ext == text::kExtBmp) return ImageFormat::kBmp;
  return std::nullopt;
}

std::wstring FormatExtensionOf(const std::wstring& fileName) {
  if (endsWithNoCase(fileName, text::kExtJpeg) || endsWithNoCase(fileName, L".jpeg"))
    return text::kExtJpeg;
  if (endsWithNoCase(fileName, text::kExtPng)) return text::kExtPng;
  if (endsWithNoCase(fileName, text::kExtBmp)) return text::kExtBmp;
  return L"";
}

SaveTarget ResolveSaveTarget(const std::wstring& fileName, const std::wstring& chosenExt) {
  const std::wstring ext = FormatExtensionOf(fileName);
  return {fileName, ext.empty() ? chosenExt : ext};
}

std::wstring WithExtension(const std::wstring& fileName, const std::wstring& ext) {
  const auto dot = fileName.rfind(L'.');
  return (dot == std::wstring::npos ? fileName : fileName.substr(0, dot)) + ext;
}

}  // namespace pelnoro::output
