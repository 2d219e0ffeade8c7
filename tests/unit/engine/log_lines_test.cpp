#include "win/log_lines.h"

#include <gtest/gtest.h>

namespace halvik::win {
namespace {

TEST(LogLines, TimeAndKindTexts) {
  EXPECT_EQ(LogTimeText(7, 30, 2), "07:30:02");
  EXPECT_EQ(LogTimeText(23, 59, 59), "23:59:59");
  EXPECT_EQ(LogKindText(0), " 0");
  EXPECT_EQ(LogKindText(1), " 1");
  EXPECT_EQ(LogKindText(12), "12");
}

TEST(LogLines, SavedFormIsTimeSpaceTextLineFeedWithoutKind) {
  EXPECT_EQ(SavedLogLines({}), "");
  EXPECT_EQ(SavedLogLines({{"07:30:02", 0, "イベント発生 305"}, {"07:30:03", 1, "board"}}),
            "07:30:02 イベント発生 305\n07:30:03 board\n");
  // Tabs inside a message are kept as they are.
  EXPECT_EQ(SavedLogLines({{"10:00:00", 0, "メール受信あり\tイベント番号:201"}}),
            "10:00:00 メール受信あり\tイベント番号:201\n");
}

TEST(LogLines, MessageIsCutTo255BytesOnACharacterBoundary) {
  const std::string ascii(300, 'a');
  EXPECT_EQ(SavedLogLines({{"00:00:00", 0, ascii}}), "00:00:00 " + std::string(255, 'a') + "\n");
  // 254 ASCII bytes then a double-byte character: the character does not fit whole.
  const std::string mixed = std::string(254, 'a') + "あい";
  EXPECT_EQ(SavedLogLines({{"00:00:00", 0, mixed}}), "00:00:00 " + std::string(254, 'a') + "\n");
  const std::string exact = std::string(253, 'a') + "あ";
  EXPECT_EQ(SavedLogLines({{"00:00:00", 0, exact}}), "00:00:00 " + exact + "\n");
}

}  // namespace
}  // namespace halvik::win
