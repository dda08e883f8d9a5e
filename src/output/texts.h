// The clip output's own texts.
#pragma once

#include <string>

namespace pelnoro::output::text {

inline constexpr const wchar_t* kNoSelection =
    L"切り取り範囲が不明です。範囲を指定してから切り取りボタンを押してください。";
inline constexpr const wchar_t* kCopiedToClipboard = L"クリップボードにコピーをしました。";
inline constexpr const wchar_t* kCopiedToClipboardTitle = L"クリップボードへコピー";
inline constexpr const wchar_t* kOverwrite = L"同じ名前のファイルがあります。上書きしますか?";
inline constexpr const wchar_t* kOverwriteTitle = L"保存ファイル確認";
inline constexpr const wchar_t* kCutDone = L"画像の切取に成功しました。";
inline constexpr const wchar_t* kWriting = L"書き込み中: ";
inline constexpr const wchar_t* kErrorTitle = L"ｴﾗｰ";
inline constexpr const wchar_t* kErrorSource = L"Pelnoro";
inline constexpr const wchar_t* kOutOfMemory = L"メモリが不足しています。";
inline constexpr const wchar_t* kTooLarge = L"AutoRedraw イメージを作成できません。";
inline constexpr const wchar_t* kClipboardFailed = L"クリップボードに書き込めませんでした。";

inline constexpr const wchar_t* kWriteError =
    L"書き込みエラーが発生しました。処理を中断します。 return_CODE = ";
inline constexpr const wchar_t* kWriteErrorTitle = L"中断";
inline constexpr const wchar_t* kBadQuality =
    L"JPEG圧縮率が0から255の数値ではありません。処理を中断します。 解像度 = ";
inline constexpr const wchar_t* kNoFolder = L"]フォルダーは有りません";
inline constexpr const wchar_t* kFolderTitle = L"フォルダー確認";

inline constexpr const wchar_t* kFileNameTitle = L"ファイル名確認";
inline std::wstring UnwritableName(const std::wstring& name) {
  return L"[" + name + L"]\nこのファイル名では保存できません。\n" +
         L"名前に使えない文字 (\\ / : * ? \" < > |) や CON、NUL のような予約された名前を" +
         L"使わないように、ファイル名を変えてください。";
}

inline constexpr const wchar_t* kExtJpeg = L".JPG";
inline constexpr const wchar_t* kExtBmp = L".BMP";
inline constexpr const wchar_t* kExtPng = L".PNG";

}  // namespace pelnoro::output::text
