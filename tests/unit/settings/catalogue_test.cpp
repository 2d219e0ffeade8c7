#include "settings/catalogue.h"

#include <gtest/gtest.h>

#include "settings/password.h"
#include "settings/words.h"

namespace halvik::settings {
namespace {

TEST(Catalogue, FieldCountsOfEveryFile) {
  struct Case { const char* name; int fields; int base; size_t largest; Layout layout; };
  const Case cases[] = {
      {"setio.bin", 4, 0, 12800, Layout::kSlots},      {"rmtrcv.bin", 3, 100, 65536, Layout::kSlots},
      {"mailrcv.bin", 3, 200, 6400, Layout::kSlots},   {"timrcv.bin", 5, 300, 6400, Layout::kSlots},
      {"intrcv.bin", 7, 400, 6400, Layout::kSlots},    {"netrcv.bin", 5, 500, 6400, Layout::kSlots},
      {"rmtsnd.bin", 3, 100, 65536, Layout::kSlots},   {"mailsnd.bin", 3, 200, 6400, Layout::kSlots},
      {"cmdsnd.bin", 3, 300, 6400, Layout::kSlots},    {"ftpsnd.bin", 8, 400, 6400, Layout::kSlots},
      {"autsnd.bin", 7, 500, 6400, Layout::kSlots},    {"capsnd.bin", 7, 600, 6400, Layout::kSlots},
      {"netsnd.bin", 5, 700, 6400, Layout::kSlots},    {"pwrsnd.bin", 3, 800, 6400, Layout::kSlots},
      {"setmail.bin", 6, 0, 1024, Layout::kSingleRecord}, {"mailrcvd.bin", 2, 0, 1024, Layout::kSingleRecord},
      {"netrcvd.bin", 2, 0, 1024, Layout::kSingleRecord},
  };
  EXPECT_EQ(AllFileShapes().size(), std::size(cases));
  for (const Case& c : cases) {
    const FileShape& s = ShapeOf(c.name);
    EXPECT_EQ(s.fields, c.fields) << c.name;
    EXPECT_EQ(s.largestSize, c.largest) << c.name;
    EXPECT_EQ(s.layout, c.layout) << c.name;
    if (c.layout == Layout::kSlots) {
      EXPECT_EQ(s.base, c.base) << c.name;
    }
    EXPECT_EQ(s.wideField, std::string_view(c.name) == "rmtsnd.bin" ? 2 : -1) << c.name;
  }
  EXPECT_EQ(FindFileShape("halvik.log"), nullptr);
}

TEST(Catalogue, WordTablesInOrder) {
  EXPECT_EQ(kPowerOperationWords[2], "第ニ製品のパワーオン");
  EXPECT_EQ(kPowerOperationWords[7], "第四製品のパワーオフ");
  EXPECT_NE(kPowerOperationWords[2], "第二製品のパワーオン");
  EXPECT_EQ(kPcControlWords[kOpenFile], "ショートカットの実行");
  EXPECT_EQ(kImageSizeWords[2], "フルサイズ");
  EXPECT_EQ(kPowerInitialStateWords[kSwitchOn], "パワーオンする");
}

TEST(Catalogue, EventRecords) {
  RuleSetting rule = ReadRule({"○", "401", "210/5,801", "朝の確認"});
  EXPECT_TRUE(rule.inForce);
  EXPECT_EQ(rule.eventNumber, 401);
  EXPECT_EQ(rule.actionList, "210/5,801");
  EXPECT_FALSE(ReadRule({"Ｘ", "401", "210", ""}).inForce);
  EXPECT_EQ(ReadRule({"○", "abc", "210", ""}).eventNumber, 0);

  IrReceiveEvent ir = ReadIrReceiveEvent({"TV", "電源", "01-02-03-04-05-06-07-08-09-FF-"});
  EXPECT_EQ(ir.signature, (std::array<uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));

  MailReceiveEvent mail = ReadMailReceiveEvent({std::string(70, 'a'), "あいうえおかきくけこ", ""});
  EXPECT_EQ(mail.sender.size(), 63u);
  EXPECT_EQ(mail.subjectString, "あいうえおかき") << "15 bytes, cut before a double-byte character";

  TimeOfDayEvent time = ReadTimeOfDayEvent({"毎日", "", "", "07時05分", ""});
  EXPECT_EQ(time.dayKind, DayKind::kEveryDay);
  EXPECT_EQ(time.at.Minutes(), 7 * 60 + 5);

  IntervalEvent interval = ReadIntervalEvent({"曜日指定", "月水金", "", "09時00分", "17時30分", "600", ""});
  EXPECT_EQ(interval.dayKind, DayKind::kWeekdays);
  EXPECT_TRUE(interval.weekdays.test(1) && interval.weekdays.test(3) && interval.weekdays.test(5));
  EXPECT_EQ(interval.end.Minutes(), 17 * 60 + 30);
  EXPECT_EQ(interval.intervalSeconds, 600);
  EXPECT_EQ(ReadIntervalEvent({"毎日", "", "", "", "", "abc", ""}).intervalSeconds, 0);

  NetReceiveEvent net = ReadNetReceiveEvent({"する", "127.0.0.1", "5000", "電気をつけて", ""});
  EXPECT_TRUE(net.connect);
  EXPECT_EQ(net.port, 5000);
  EXPECT_EQ(net.text, "電気をつけて");
}

TEST(Catalogue, ActionRecords) {
  std::string longCode;
  for (int i = 0; i < 300; ++i) longCode += "AB-";
  EXPECT_EQ(ReadIrSendAction({"TV", "電源", longCode}).code.size(), 200u);

  EXPECT_EQ(ReadPcControlAction({"メディアファイル実行", "c:\\a.mp3", ""}).kind, kPlayMedia);
  EXPECT_EQ(ReadPcControlAction({"電源断", "", ""}).kind, 6);

  FtpSendAction ftp = ReadFtpSendAction(
      {"ftp.example.jp", "user", EncodePassword("秘密pass"), "/up/a.txt", "c:\\a.txt", "Y", "N", "Y"});
  EXPECT_EQ(ftp.password, "秘密pass");
  EXPECT_TRUE(ftp.passive);
  EXPECT_FALSE(ftp.binary);
  EXPECT_TRUE(ftp.convert);

  MacroAction macro = ReadMacroAction({"○", "notepad.exe", "Ｘ", "無題 - メモ帳", "42", "123456", ""});
  EXPECT_TRUE(macro.launch);
  EXPECT_FALSE(macro.switchWindow);
  EXPECT_EQ(macro.eventCount, 42);
  EXPECT_EQ(macro.startTick, 123456);

  CaptureAction cap = ReadCaptureAction({"サウンド", "320*240", "BMP", "mp3", "60", "c:\\rec.mp3", ""});
  EXPECT_EQ(cap.kind, kSound);
  EXPECT_EQ(cap.imageFormat, 2);
  EXPECT_EQ(cap.soundFormat, 1);
  EXPECT_EQ(cap.seconds, 60);

  NetSendAction send = ReadNetSendAction({"待ち", "127.0.0.1", "6000", "hello", ""});
  EXPECT_FALSE(send.connect);
  EXPECT_EQ(send.port, 6000);

  PowerAction on = ReadPowerAction({"第ニ製品のパワーオン", "パワーオフする", ""});
  EXPECT_EQ(on.Appliance(), 1);
  EXPECT_TRUE(on.SwitchesOn());
  EXPECT_EQ(on.initialState, kSwitchOff);
  PowerAction off = ReadPowerAction({"第四製品のパワーオフ", "?", ""});
  EXPECT_EQ(off.Appliance(), 3);
  EXPECT_FALSE(off.SwitchesOn());
  EXPECT_EQ(off.initialState, 3);
  EXPECT_EQ(ReadPowerAction({"第二製品のパワーオン", "", ""}).operation, 8);
}

TEST(Catalogue, SingleRecords) {
  MailAccount account =
      ReadMailAccount({"pop.example.jp", "smtp.example.jp", "taro", EncodePassword("pw"), "山田太郎", "60"});
  EXPECT_EQ(account.password, "pw");
  EXPECT_EQ(account.name, "山田太郎");
  DirectActionSetting direct = ReadDirectAction({"127.0.0.1", "act="});
  EXPECT_EQ(direct.directString, "act=");
}

}  // namespace
}  // namespace halvik::settings
