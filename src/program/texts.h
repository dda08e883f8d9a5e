// The settings file's and the save log's own texts: names, keys and fixed lines.
#pragma once

namespace pelnoro::program::text {

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

}  // namespace pelnoro::program::text
