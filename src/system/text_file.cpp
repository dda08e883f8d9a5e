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

std::optional<std::vector<std::wstring>> readTextLines(System& sys, const std::wstring& path) {
  auto bytes = sys.readFile(path);
  if (!bytes) return std::nullopt;
  return splitLines(fromCp932(*bytes));
}

bool writeTextLines(System& sys, const std::wstring& path, const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (const auto& l : lines) {
    text += l;
    text += L"\r\n";
  }
  return sys.writeFileReplacing(path, toCp932(text)) == WriteResult::kOk;
}

}  // namespace pelnoro::sys
