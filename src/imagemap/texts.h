// The clickable-map authoring's own texts.
#pragma once

#include <string>

namespace pelnoro::imagemap::text {

// The link-target dialog's two roles, told apart by its title.
inline constexpr const wchar_t* kLinkRole = L"　リンクファイル";
inline constexpr const wchar_t* kOpenRole = L"　開く";
inline constexpr const wchar_t* kOk = L"OK";
inline constexpr const wchar_t* kCancel = L"Cancel";
inline constexpr const wchar_t* kNoTarget = L"ファイル又はアドレスが指定されていません。";
inline constexpr const wchar_t* kNoTargetTitle = L"未指定";

// Link mode's prompts.
inline constexpr const wchar_t* kNoRangeTitle = L" 範囲未指定";
inline constexpr const wchar_t* kNoRange = L"範囲を指定してから[リンクの設定]を押してください。";
inline constexpr const wchar_t* kNotLinkingTitle = L" 設定";
inline constexpr const wchar_t* kNotLinking = L"設定モードでないか、すでに設定は終了しています。";
inline constexpr const wchar_t* kFinishTitle = L" リンク設定終了";
inline constexpr const wchar_t* kFinish = L"リンクした画像ファイルを保存して作業を終了します。";
inline constexpr const wchar_t* kLinkModeMark = L" リンクモード ";

// A document file that cannot be written.
inline constexpr const wchar_t* kDocumentTitle = L"リンクの設定";
inline std::wstring DocumentNotWritten(const std::wstring& path) {
  return L"HTMLファイル [" + path + L"] に書き込めませんでした。\n" +
         L"保存先のフォルダーがあるか、書き込みが許されているかを確かめてください。";
}

}  // namespace pelnoro::imagemap::text
