// The fixed word tables of the settings fields. A field's value is the
// position of its word in the table, counted from 0; a word not in the table
// reads as the table's size, and the action then does nothing.
#pragma once

#include <array>
#include <string_view>

namespace halvik::settings {

// The day kinds (timrcv.bin, intrcv.bin field 1), read by their first letter.
inline constexpr std::array<std::string_view, 3> kDayKindWords = {"毎日", "曜日指定", "日指定"};

// PC control kind (cmdsnd.bin field 1).
enum PcControlKind { kPowerOff, kShutdown, kRestart, kLogOff, kOpenFile, kPlayMedia };
inline constexpr std::array<std::string_view, 6> kPcControlWords = {
    "パワーオフ", "シャットダウン", "再起動", "ログオフ", "ショートカットの実行", "メディアファイル実行"};

// Capture actions (capsnd.bin fields 1 to 4).
enum CaptureKind { kStillImage, kVideo, kScreen, kSound };
inline constexpr std::array<std::string_view, 4> kCaptureKindWords = {"静止画", "動画", "スクリーン", "サウンド"};
inline constexpr std::array<std::string_view, 3> kImageSizeWords = {"320*240", "640*480", "フルサイズ"};
inline constexpr std::array<std::string_view, 3> kImageFormatWords = {"JPG", "GIF", "BMP"};
inline constexpr std::array<std::string_view, 2> kSoundFormatWords = {"wav", "mp3"};

// Power operation (pwrsnd.bin field 1): appliance = value / 2, even = on.
// The second appliance is spelled with the katakana ニ, never the kanji 二.
inline constexpr std::array<std::string_view, 8> kPowerOperationWords = {
    "第一製品のパワーオン", "第一製品のパワーオフ", "第ニ製品のパワーオン", "第ニ製品のパワーオフ",
    "第三製品のパワーオン", "第三製品のパワーオフ", "第四製品のパワーオン", "第四製品のパワーオフ"};

// Power initial state (pwrsnd.bin field 2).
enum PowerInitialState { kLeaveAsIs, kSwitchOff, kSwitchOn };
inline constexpr std::array<std::string_view, 3> kPowerInitialStateWords = {
    "何もしない", "パワーオフする", "パワーオンする"};

}  // namespace halvik::settings
