// The application shell's own texts: messages, captions and file keys.
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

// Settings file keys and fixed lines.
inline constexpr const wchar_t* kSettingsFile = L"pelnoro.ini";
inline constexpr const wchar_t* kSaveLogFile = L"save_log.pel";
inline constexpr const wchar_t* kKeyFormat = L"画像形式";
inline constexpr const wchar_t* kKeyFileName = L"ファイル名";
inline constexpr const wchar_t* kKeyNumbering = L"自動ナンバリング";
inline constexpr const wchar_t* kKeyFolder = L"保存先";
inline constexpr const wchar_t* kKeyQuality = L"解像度";
inline constexpr const wchar_t* kKeyPosition = L"現在の位置XY";
inline constexpr const wchar_t* kNumberingOn = L"する";
inline constexpr const wchar_t* kNumberingOff = L"しない";
inline constexpr const wchar_t* kSettingsComment =
    L"※このファイルを人為的に再編集した場合の動作は保証されません。";

inline constexpr const wchar_t* kFormatClipboard = L"クリップボード";
inline constexpr const wchar_t* kFormatJpeg = L"JPEG";
inline constexpr const wchar_t* kFormatPng = L"PNG";
inline constexpr const wchar_t* kFormatBmp = L"BMP";

// In-window prompts.
inline constexpr const wchar_t* kLinkUnfinishedTitle = L" 設定未終了";
inline constexpr const wchar_t* kLinkUnfinishedComment =
    L"リンク設定が閉じてないのでHTMLファイルが不完全です。\n戻って設定終了を実行してください。";
inline constexpr const wchar_t* kPromptBusyTitle = L" 確認中";

// Main window captions.
inline constexpr const wchar_t* kOpenImage = L"画像開く";
inline constexpr const wchar_t* kSave = L"保存";
inline constexpr const wchar_t* kExit = L"終了";
inline constexpr const wchar_t* kClear = L"クリア";
inline constexpr const wchar_t* kNumberingToolTip =
    L"ファイル名の後に通し番号を振ります。 連続して保存するとき便利 (^^)v";

}  // namespace pelnoro::app::text
