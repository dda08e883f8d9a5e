// The main window's in-window prompt, for the operations of the other windows.
#pragma once

#include <string>

namespace pelnoro::program {

inline constexpr const wchar_t* kModeYesNo = L"yesno";
inline constexpr const wchar_t* kModeYes = L"yes";
inline constexpr const wchar_t* kAnswerYes = L"Y";
inline constexpr const wchar_t* kAnswerNo = L"N";

class Prompt {
 public:
  virtual ~Prompt() = default;
  // Shows the question with mode "yesno" or "yes" and waits for it, letting other
  // events run meanwhile; returns "Y" or "N".
  virtual std::wstring Ask(const std::wstring& title, const std::wstring& comment,
                           const std::wstring& mode) = 0;
};

}  // namespace pelnoro::program
