// The image editing's own texts.
#pragma once

namespace pelnoro::edit::text {

inline constexpr const wchar_t* kRotateClockwise = L"R90";
inline constexpr const wchar_t* kRotateCounterClockwise = L"R270";
inline constexpr const wchar_t* kRotateHalf = L"R180";
inline constexpr const wchar_t* kMirrorLeftRight = L"RF";
inline constexpr const wchar_t* kMirrorTopBottom = L"UD";

inline constexpr const wchar_t* kReplaceTitle = L" 差し替え";
inline constexpr const wchar_t* kReplaceComment =
    L"元画像を差し替えます。\n差し替え後、リセットを押すとこの画像になります。\n\n実行しますか?";

}  // namespace pelnoro::edit::text
