// The clickable-map authoring's own texts.
#pragma once

namespace pelnoro::imagemap::text {

// The link-target dialog's two roles, told apart by its title.
inline constexpr const wchar_t* kLinkRole = L"　リンクファイル";
inline constexpr const wchar_t* kOpenRole = L"　開く";

}  // namespace pelnoro::imagemap::text
