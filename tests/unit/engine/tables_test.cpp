#include "engine/tables.h"
#include "settings/words.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace halvik::engine {
namespace {

using namespace halvik::settings;

class TablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/engine_tables_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    folder_ = dir_ + "/";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Write(const char* file, std::initializer_list<std::pair<int, Record>> records) {
    Slots slots;
    for (const auto& [i, r] : records) slots[i] = r;
    ASSERT_EQ(WriteSlotFile(folder_, ShapeOf(file), slots), 0);
  }
  std::string dir_, folder_;
};

TEST_F(TablesTest, LoadsOnlyEventsThatRulesInForceNameOnceEach) {
  Write("setio.bin", {
      {0, {"○", "405", "300", ""}},
      {1, {"○", "401", "301", ""}},
      {2, {"○", "405", "302", ""}},
      {3, {"Ｘ", "402", "303", ""}},
      {4, {"○", "307", "303", ""}},
      {5, {"○", "409", "303", ""}},  // names an empty slot
  });
  Write("intrcv.bin", {
      {1, {"毎日", "", "", "09時00分", "17時00分", "60", ""}},
      {2, {"毎日", "", "", "09時00分", "17時00分", "30", ""}},
      {5, {"曜日指定", "月水", "", "22時00分", "02時00分", "x", ""}},
  });
  Write("timrcv.bin", {{7, {"日指定", "", "01,15,31", "07時05分", ""}}});
  EngineTables t;
  LoadAll(folder_, t);
  ASSERT_EQ(t.rules.size(), 5u);
  ASSERT_EQ(t.interval.size(), 2u);
  EXPECT_EQ(t.interval[0].event, 405);  // in rule order
  EXPECT_EQ(t.interval[0].setting.intervalSeconds, 0);
  EXPECT_EQ(t.interval[0].setting.start.hour, 22);
  EXPECT_EQ(t.interval[1].event, 401);
  EXPECT_EQ(t.interval[1].setting.intervalSeconds, 60);
  ASSERT_EQ(t.timeOfDay.size(), 1u);
  EXPECT_EQ(t.timeOfDay[0].event, 307);
  EXPECT_TRUE(t.timeOfDay[0].setting.days.test(31));
  EXPECT_EQ(t.timeOfDay[0].setting.at.minute, 5);
}

TEST_F(TablesTest, ActionFilesAreLoadedWholeAndRecordsWhenPresent) {
  Write("cmdsnd.bin", {{1, {"ショートカットの実行", "C:\\a.exe", ""}}, {99, {"nonsense", "", ""}}});
  Write("pwrsnd.bin", {{0, {"第ニ製品のパワーオフ", "何もしない", ""}}, {1, {"第二製品のパワーオン", "x", ""}}});
  ASSERT_EQ(WriteRecordFile(folder_, ShapeOf("netrcvd.bin"), {"127.0.0.1", "act="}), 0);
  EngineTables t;
  LoadAll(folder_, t);
  ASSERT_TRUE(t.pcControl[1]);
  EXPECT_EQ(t.pcControl[1]->kind, kOpenFile);
  EXPECT_EQ(t.pcControl[1]->file, "C:\\a.exe");
  ASSERT_TRUE(t.pcControl[99]);
  EXPECT_EQ(t.pcControl[99]->kind, 6);  // not in the table: does nothing
  EXPECT_FALSE(t.pcControl[0]);
  ASSERT_TRUE(t.power[0]);
  EXPECT_EQ(t.power[0]->operation, 3);
  EXPECT_EQ(t.power[1]->operation, 8);  // the kanji 二 is not the katakana ニ
  EXPECT_FALSE(t.mailAccount);
  ASSERT_TRUE(t.netDirect);
  EXPECT_EQ(t.netDirect->directString, "act=");
}

TEST_F(TablesTest, ReloadReplacesOnlyItsTable) {
  Write("setio.bin", {{0, {"○", "401", "301", ""}}});
  Write("intrcv.bin", {{1, {"毎日", "", "", "00時00分", "23時59分", "20", ""}}});
  Write("cmdsnd.bin", {{1, {"再起動", "", ""}}});
  EngineTables t;
  LoadAll(folder_, t);
  ASSERT_EQ(t.interval.size(), 1u);

  Write("setio.bin", {});
  Write("cmdsnd.bin", {});
  ASSERT_EQ(LoadByReloadCode(0, folder_, t), 0);
  EXPECT_TRUE(t.rules.empty());
  EXPECT_EQ(t.interval.size(), 1u);  // until intrcv.bin is reloaded
  EXPECT_TRUE(t.pcControl[1]);
  ASSERT_EQ(LoadByReloadCode(400, folder_, t), 0);
  EXPECT_TRUE(t.interval.empty());
  EXPECT_EQ(LoadByReloadCode(4, folder_, t), -1);
  EXPECT_EQ(LoadByReloadCode(1900, folder_, t), -1);
  EXPECT_TRUE(t.pcControl[1]);
}

TEST(ReloadCodes, TableOrderAndFiles) {
  const std::pair<int, const char*> expected[] = {
      {0, "setio.bin"},      {1, "setmail.bin"},  {2, "mailrcvd.bin"}, {3, "netrcvd.bin"},
      {100, "rmtrcv.bin"},   {200, "mailrcv.bin"}, {300, "timrcv.bin"}, {400, "intrcv.bin"},
      {500, "netrcv.bin"},   {1100, "rmtsnd.bin"}, {1200, "mailsnd.bin"}, {1300, "cmdsnd.bin"},
      {1400, "ftpsnd.bin"},  {1500, "autsnd.bin"}, {1600, "capsnd.bin"}, {1700, "netsnd.bin"},
      {1800, "pwrsnd.bin"},
  };
  auto codes = ReloadCodes();
  ASSERT_EQ(codes.size(), std::size(expected));
  for (size_t i = 0; i < codes.size(); ++i) {
    EXPECT_EQ(codes[i].code, expected[i].first);
    EXPECT_STREQ(codes[i].file, expected[i].second);
    EXPECT_NE(FindFileShape(codes[i].file), nullptr);
  }
}

}  // namespace
}  // namespace halvik::engine
