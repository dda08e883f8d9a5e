// The property box's and the folder chooser's own texts.
#pragma once

#include <string>

namespace pelnoro::dialogs::text {

// Property box.
inline constexpr const wchar_t* kPropertyCaption = L"プロパティ";
inline constexpr const wchar_t* kPropertyTitle = L" 設定";
inline constexpr const wchar_t* kPageOperation = L"動作";
inline constexpr const wchar_t* kPageImage = L"画像";
inline constexpr const wchar_t* kPageClickableMap = L"クリッカブルマップ";
inline constexpr const wchar_t* kPagePropertyList = L"プロパティリスト";
inline constexpr const wchar_t* kSaveFormat = L"保存形式";
inline constexpr const wchar_t* kClipboard = L"クリップボード";
inline constexpr const wchar_t* kJpeg = L"JPEG";
inline constexpr const wchar_t* kPng = L"PNG";
inline constexpr const wchar_t* kBmp = L"BMP";
inline constexpr const wchar_t* kFileNameGroup = L"ファイル名";
inline constexpr const wchar_t* kDefaultFileName = L"TEST";
inline constexpr const wchar_t* kAutoNumbering = L"自動ナンバリング";
inline constexpr const wchar_t* kSaveFolderGroup = L"保存先";
inline constexpr const wchar_t* kDefaultSaveFolder = L"C:\\";
inline constexpr const wchar_t* kBrowse = L"...";
inline constexpr const wchar_t* kHistory = L"履歴";
inline constexpr const wchar_t* kPngGroup = L"PNG圧縮率";
inline constexpr const wchar_t* kPngHighest = L"最高圧縮";
inline constexpr const wchar_t* kPngLow = L"低圧縮率";
inline constexpr const wchar_t* kPngNormal = L"通常圧縮";
inline constexpr const wchar_t* kJpegGroup = L"JPEG圧縮率";
inline constexpr const wchar_t* kJpegOnly = L"JPEG画像のみ有効";
inline constexpr const wchar_t* kProgressive = L"プログレッシブタイプで保存する";
inline constexpr const wchar_t* kDefaultQuality = L"50";
inline constexpr const wchar_t* kQualityHint = L"値が大きくなるほど高画質で低圧縮率";
inline constexpr const wchar_t* kLinkShape = L"リンク範囲の形状";
inline constexpr const wchar_t* kRectangle = L"四角形";
inline constexpr const wchar_t* kCircle = L"円形";
inline constexpr const wchar_t* kPolygon = L"多角形";
inline constexpr const wchar_t* kToText = L"テキストに出力";
inline constexpr const wchar_t* kToHtml = L"HTMLファイルを作成";

// Folder chooser.
inline constexpr const wchar_t* kChooserCaption = L"フォルダの選択";
inline constexpr const wchar_t* kChooserTitle = L"　フォルダの選択";
inline constexpr const wchar_t* kOk = L"OK";
inline constexpr const wchar_t* kCancel = L"Cancel";
inline constexpr const wchar_t* kCreateTitle = L"フォルダー確認";
inline std::wstring CreateQuestion(const std::wstring& path) {
  return L"[" + path + L"]フォルダーを作成しますか?";
}

// What the chooser refuses, and why. Shown with an exclamation icon.
inline constexpr const wchar_t* kChooserErrorTitle = L"フォルダの選択";
inline constexpr const wchar_t* kNoFolderGiven =
    L"保存先のフォルダーが入力されていません。\nフォルダーを選ぶか、パスを入力してください。";
inline std::wstring NotFullPath(const std::wstring& path) {
  return L"[" + path + L"]はドライブから始まるパスではありません。\n" +
         L"C:\\画像\\ のように、ドライブ名から入力してください。";
}
inline std::wstring IsAFile(const std::wstring& path) {
  return L"[" + path + L"]はファイルです。\n保存先にはフォルダーを指定してください。";
}
inline std::wstring CannotCreate(const std::wstring& path) {
  return L"[" + path + L"]フォルダーを作成できませんでした。\n" +
         L"一つ上のフォルダーがあるか、名前に使えない文字 (\\ / : * ? \" < > |) がないか、" +
         L"書き込みが許されているかを確かめてください。";
}
inline std::wstring NotStorable(const std::wstring& path, const std::wstring& kept) {
  return L"[" + path +
         L"]\nこのフォルダー名には設定ファイル (Shift_JIS) に書けない文字があります。\n" +
         L"今回は保存先に使えますが、次回の起動では前の保存先 [" + kept + L"] に戻ります。";
}
inline std::wstring NameNotStorable(const std::wstring& name, const std::wstring& kept) {
  return L"[" + name +
         L"]\nこのファイル名には設定ファイル (Shift_JIS) に書けない文字があります。\n" +
         L"今回はこの名前で保存できますが、次回の起動ではファイル名は [" + kept + L"] に戻ります。";
}
inline std::wstring DriveNotReady(const std::wstring& drive) {
  return L"ドライブ " + drive + L" の準備ができていません。\n" +
         L"ディスクを入れてからもう一度選ぶか、別のドライブを選んでください。";
}

}  // namespace pelnoro::dialogs::text
