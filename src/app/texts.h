// The application shell's own texts: messages and captions.
#pragma once

namespace pelnoro::app::text {

inline constexpr const wchar_t* kAppTitle = L"Pelnoro";
inline constexpr const wchar_t* kAlreadyRunning = L"このプログラムは既に起動されています。";
inline constexpr const wchar_t* kNoCloseBox =
    L"×ボタンで閉じる事は出来ません。終了ボタンを押してください。";
inline constexpr const wchar_t* kWarningTitle = L"警告";
inline constexpr const wchar_t* kNoMinimizeDuringCapture = L"切り取りが終わるまで最小化できません";
inline constexpr const wchar_t* kWriteFailedAtExit =
    L"設定ファイルを書き込めませんでした。前回の内容が残ります。\n";

// In-window prompts.
inline constexpr const wchar_t* kLinkUnfinishedTitle = L" 設定未終了";
inline constexpr const wchar_t* kLinkUnfinishedComment =
    L"リンク設定が閉じてないのでHTMLファイルが不完全です。\n戻って設定終了を実行してください。";
inline constexpr const wchar_t* kPromptBusyTitle = L" 確認中";

// Status line.
inline constexpr const wchar_t* kShutterKeyTaken =
    L"Print Screen キーは他のプログラムが使用中です。シャッターボタンを押してください。";
inline constexpr const wchar_t* kImageCopied = L"画像をクリップボードにコピーしました。";

// Main window captions.
inline constexpr const wchar_t* kShutter = L"シャッター";
inline constexpr const wchar_t* kCut = L"切り取り";
inline constexpr const wchar_t* kRunSave = L"保存実行";
inline constexpr const wchar_t* kCancel = L"キャンセル";
inline constexpr const wchar_t* kOpenImage = L"画像開く";
inline constexpr const wchar_t* kSave = L"保存";
inline constexpr const wchar_t* kExit = L"終了";
inline constexpr const wchar_t* kClear = L"クリア";
inline constexpr const wchar_t* kNumberingToolTip =
    L"ファイル名の後に通し番号を振ります。 連続して保存するとき便利 (^^)v";

}  // namespace pelnoro::app::text
