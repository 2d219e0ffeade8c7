#include "settings/text_forms.h"

#include <gtest/gtest.h>

#include "settings/words.h"

namespace halvik::settings {
namespace {

TEST(TextForms, MarkYesNoConnectionDayKind) {
  struct Case { const char* text; bool mark, yes, connect; DayKind kind; };
  const Case cases[] = {
      {"○", true, false, false, DayKind::kEveryDay},
      {"○余分", true, false, false, DayKind::kEveryDay},
      {"Ｘ", false, false, false, DayKind::kEveryDay},
      {"", false, false, false, DayKind::kEveryDay},
      {"Y", false, true, false, DayKind::kEveryDay},
      {"Yes", false, true, false, DayKind::kEveryDay},
      {"y", false, false, false, DayKind::kEveryDay},
      {"する", false, false, true, DayKind::kEveryDay},
      {"する ", false, false, false, DayKind::kEveryDay},
      {"待ち", false, false, false, DayKind::kEveryDay},
      {"毎日", false, false, false, DayKind::kEveryDay},
      {"曜日指定", false, false, false, DayKind::kWeekdays},
      {"日指定", false, false, false, DayKind::kDaysOfMonth},
      {"曜", false, false, false, DayKind::kWeekdays},
      {"月曜", false, false, false, DayKind::kEveryDay},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ReadMark(c.text), c.mark);
    EXPECT_EQ(ReadYesNo(c.text), c.yes);
    EXPECT_EQ(ReadConnection(c.text), c.connect);
    EXPECT_EQ(ReadDayKind(c.text), c.kind);
  }
}

TEST(TextForms, Weekdays) {
  struct Case { const char* text; const char* days; };  // days: bit string Sun..Sat
  const Case cases[] = {
      {"月水金", "0101010"}, {"日土", "1000001"}, {"", "0000000"},
      {"月火x", "0110000"},   // stops at the ASCII letter
      {"月火x水", "0110000"}, {"日月火水木金土", "1111111"},
      {"月曜", "0100000"},   // 曜 is not a weekday letter
  };
  for (const Case& c : cases) {
    std::bitset<7> days = ReadWeekdays(c.text);
    std::string bits;
    for (size_t d = 0; d < 7; ++d) bits += days.test(d) ? '1' : '0';
    EXPECT_EQ(bits, c.days) << c.text;
  }
  EXPECT_EQ(WeekdaysText(ReadWeekdays("月水金")), "月水金");
  EXPECT_TRUE(IsWeekdaysText("月水金"));
  EXPECT_FALSE(IsWeekdaysText("月火x"));
  EXPECT_FALSE(IsWeekdaysText("金月"));
}

TEST(TextForms, DayList) {
  std::bitset<32> days = ReadDayList("01,15,31");
  EXPECT_EQ(days.count(), 3u);
  EXPECT_TRUE(days.test(1) && days.test(15) && days.test(31));
  EXPECT_EQ(DayListText(days), "01,15,31");
  EXPECT_TRUE(ReadDayList("").none());
  EXPECT_TRUE(ReadDayList("32,00").none()) << "days outside 1-31 are never chosen";
  EXPECT_TRUE(ReadDayList("5").none()) << "a lone digit is not a pair";
  struct Case { const char* text; bool valid; };
  for (Case c : {Case{"01,15,31", true}, Case{"", true}, Case{"01,", false}, Case{"1,2", false},
                 Case{"15,01", false}, Case{"32", false}, Case{"01;02", false}}) {
    EXPECT_EQ(IsDayListText(c.text), c.valid) << c.text;
  }
}

TEST(TextForms, ClockTime) {
  struct Case { const char* text; int hour, minute; bool valid; };
  const Case cases[] = {
      {"07時05分", 7, 5, true}, {"23時59分", 23, 59, true}, {"00時00分", 0, 0, true},
      {"24時00分", 24, 0, false}, {"7時5分", 7, 0, false}, {"", 0, 0, false},
      {"ab時cd分", 0, 0, false},
  };
  for (const Case& c : cases) {
    ClockTime t = ReadClockTime(c.text);
    EXPECT_EQ(t.hour, c.hour) << c.text;
    EXPECT_EQ(t.minute, c.minute) << c.text;
    EXPECT_EQ(IsClockTimeText(c.text), c.valid) << c.text;
  }
  EXPECT_EQ(ClockTimeText(7, 5), "07時05分");
}

TEST(TextForms, Number) {
  struct Case { const char* text; long value; bool strict; };
  const Case cases[] = {{"60", 60, true}, {"0", 0, true}, {"12ab", 12, false}, {"ab", 0, false},
                        {"", 0, false},   {" 5", 0, false}, {"99999999999999", 999999999, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(ReadNumber(c.text), c.value) << c.text;
    EXPECT_EQ(IsNumberText(c.text), c.strict) << c.text;
  }
}

TEST(TextForms, CodeText) {
  const std::vector<uint8_t> bytes{0x1A, 0x05, 0xFF, 0x33};
  EXPECT_EQ(CodeText(bytes), "1A-05-FF-") << "written up to and including the first 0xFF";
  EXPECT_EQ(ReadCodeText("1A-05-FF-", 200), (std::vector<uint8_t>{0x1A, 0x05, 0xFF}));
  EXPECT_EQ(ReadCodeText("1A-05-FF-", 2), (std::vector<uint8_t>{0x1A, 0x05}));
  EXPECT_EQ(ReadCodeText("1A-0", 200), (std::vector<uint8_t>{0x1A})) << "a lone digit is not a byte";
  EXPECT_NE(ReadCodeText("1a-", 200), (std::vector<uint8_t>{0x1A})) << "lower case is not accepted";
  EXPECT_TRUE(IsCodeText("1A-05-FF-"));
  EXPECT_TRUE(IsCodeText(""));
  for (const char* bad : {"1a-", "1A", "1A-0", "1A+", "GG-"}) EXPECT_FALSE(IsCodeText(bad)) << bad;
}

TEST(TextForms, TableWords) {
  EXPECT_EQ(ReadTableWord("パワーオフ", kPcControlWords), 0);
  EXPECT_EQ(ReadTableWord("メディアファイル実行", kPcControlWords), 5);
  EXPECT_EQ(ReadTableWord("パワーオフ ", kPcControlWords), 6);
  EXPECT_EQ(ReadTableWord("第ニ製品のパワーオフ", kPowerOperationWords), 3);
  EXPECT_EQ(ReadTableWord("第二製品のパワーオフ", kPowerOperationWords), 8) << "kanji 二 is not in the table";
  EXPECT_EQ(ReadTableWord("サウンド", kCaptureKindWords), 3);
  EXPECT_EQ(ReadTableWord("mp3", kSoundFormatWords), 1);
  EXPECT_EQ(ReadTableWord("MP3", kSoundFormatWords), 2);
  EXPECT_EQ(ReadTableWord("パワーオンする", kPowerInitialStateWords), 2);
}

TEST(TextForms, CutNeverSplitsADoubleByteCharacter) {
  std::string text = "ab漢字";  // 2 + 2 + 2 bytes
  EXPECT_EQ(CutCp932(text, 3), "ab");
  EXPECT_EQ(CutCp932(text, 4), "ab漢");
  EXPECT_EQ(CutCp932(text, 100), text);
  EXPECT_EQ(CutCp932("\x81", 5), "") << "a lone lead byte at the end is dropped";
  EXPECT_EQ(CutCp932("ｱｲ", 1), "ｱ") << "half-width katakana is one byte";
}

}  // namespace
}  // namespace halvik::settings
