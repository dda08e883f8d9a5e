#include "program/run_error.h"

namespace pelnoro::program {

std::wstring ErrorMessageText(long number, const std::wstring& source,
                              const std::wstring& description) {
  // A number that is not negative gets one leading blank, as decimal text does.
  std::wstring n = std::to_wstring(number);
  if (number >= 0) n = L" " + n;
  return L"ｴﾗｰ番号 " + n + source + L" でｴﾗｰが発生しました。\r" + description;
}

}  // namespace pelnoro::program
