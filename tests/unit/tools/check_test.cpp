#include "tools/settings_tool/check.h"

#include <gtest/gtest.h>

#include "tests/unit/tools/u8.h"

namespace halvik::tools {
namespace {

// A folder the engine reads exactly as it looks: no findings.
const char8_t kClean[] = u8R"({
  "passwords": "plain",
  "setio.bin": {"000": ["○", "300", "300/5,800", "自由な注釈: 300;;x"],
                "001": ["Ｘ", "400", "100,200,400,500,600,700", ""],
                "002": ["○", "100", "300", ""], "003": ["○", "200", "300", ""],
                "004": ["○", "500", "300", ""]},
  "setmail.bin": ["pop.example.jp", "smtp.example.jp", "taro", "pw", "山田", "なんでも"],
  "rmtrcv.bin": {"100": ["リモコン", "電源", "01-02-03-04-05-06-07-08-"]},
  "mailrcv.bin": {"200": ["taro@example.jp", "0123456789abcde", ""]},
  "timrcv.bin": {"300": ["毎日", "", "", "07時00分", ""]},
  "intrcv.bin": {"400": ["曜日指定", "月水金", "", "08時00分", "18時00分", "60", ""]},
  "netrcv.bin": {"500": ["待ち", "192.168.1.2", "5000", "OPEN", ""]},
  "rmtsnd.bin": {"100": ["テレビ", "電源", "01-FF-"]},
  "mailsnd.bin": {"200": ["hanako@example.jp", "件名", "body.txt"]},
  "cmdsnd.bin": {"300": ["シャットダウン", "", ""]},
  "ftpsnd.bin": {"400": ["ftp.example.jp", "taro", "secret", "/a", "C:\\a", "Y", "N", "N"]},
  "autsnd.bin": {"500": ["○", "notepad.exe", "Ｘ", "無題", "42", "123456", ""]},
  "capsnd.bin": {"600": ["サウンド", "320*240", "JPG", "wav", "60", "a.wav", ""]},
  "netsnd.bin": {"700": ["する", "192.168.1.3", "5001", "LIGHT", ""]},
  "pwrsnd.bin": {"800": ["第一製品のパワーオン", "何もしない", ""]}
})";

SettingsFolder Clean() {
  SettingsFolder folder;
  std::vector<std::string> errors;
  EXPECT_TRUE(PlanImport(U8(kClean), folder, errors)) << (errors.empty() ? "" : errors[0]);
  return folder;
}

std::vector<std::string> Lines(const SettingsFolder& folder) {
  std::vector<std::string> lines;
  for (const Finding& f : CheckSettings(folder)) lines.push_back(f.Line());
  return lines;
}

struct Edit {
  const char* file;
  int slot;   // -1 for a single record
  int field;  // from 0
  std::string cp932;
};

struct Case {
  std::vector<Edit> edits;
  std::vector<std::u8string> findings;
};

TEST(Check, CleanFolderHasNoFindings) { EXPECT_EQ(Lines(Clean()), std::vector<std::string>{}); }

TEST(Check, FindsEveryFieldTheEngineReadsOtherThanItLooks) {
  const std::string kSixteen = "300,300,300,300,300,300,300,300,300,300,300,300,300,300,300,300";
  std::string ir201;
  for (int i = 0; i < 201; ++i) ir201 += "0A-";
  const Case cases[] = {
      {{{"setio.bin", 0, 0, "有"}}, {u8R"(setio.bin 000 field 1: not a mark ("○" or "Ｘ"): "有" reads as "Ｘ")"}},
      {{{"setio.bin", 0, 0, "○有"}}, {u8R"(setio.bin 000 field 1: not a mark ("○" or "Ｘ"): "○有" reads as "○")"}},
      {{{"setio.bin", 0, 1, "30O"}}, {u8R"(setio.bin 000 field 2: not a number: "30O" reads as 30)"}},
      {{{"setio.bin", 0, 1, "301"}}, {u8"setio.bin 000 field 2: event 301 is not registered (its slot of timrcv.bin is empty)"}},
      {{{"setio.bin", 0, 1, "950"}}, {u8"setio.bin 000 field 2: event 950 is in no event category (100-599)"}},
      {{{"setio.bin", 0, 2, "300,,800"}}, {u8R"(setio.bin 000 field 3: the engine refuses the action list "300,,800")"}},
      {{{"setio.bin", 0, 2, "300/5,801"}}, {u8"setio.bin 000 field 3: action 801 is not registered (its slot of pwrsnd.bin is empty)"}},
      {{{"setio.bin", 0, 2, "300,800x"}}, {u8R"(setio.bin 000 field 3: the engine stops reading the action list at "x" and runs 1 action(s))"}},
      {{{"setio.bin", 0, 2, kSixteen}}, {u8"setio.bin 000 field 3: 16 actions; the engine runs the first 15"}},
      {{{"setio.bin", 0, 2, "42"}}, {u8"setio.bin 000 field 3: action 42 is in no action category (100-899)"}},
      // A rule kept but not in force is checked as well: it may be switched on.
      {{{"setio.bin", 1, 1, "499"}}, {u8"setio.bin 001 field 2: event 499 is not registered (its slot of intrcv.bin is empty)"}},
      {{{"setmail.bin", -1, 3, "xyz"}}, {u8"setmail.bin field 4: not a stored password (upper-case hexadecimal, 16 characters a block, as the editor enciphers it)"}},
      {{{"rmtrcv.bin", 0, 2, "01-02-03-"}}, {u8"rmtrcv.bin 100 field 3: a signature of 3 bytes; the engine compares 8"}},
      {{{"rmtrcv.bin", 0, 2, "01-02-03-04-05-06-07-0g-"}}, {u8R"(rmtrcv.bin 100 field 3: not code text ("%2.2X-" a byte): "01-02-03-04-05-06-07-0g-")"}},
      {{{"mailrcv.bin", 0, 1, "0123456789abcdef"}}, {u8R"(mailrcv.bin 200 field 2: 16 bytes; the engine keeps the first 15: "0123456789abcde")"}},
      {{{"timrcv.bin", 0, 0, "毎週"}}, {u8R"(timrcv.bin 300 field 1: "毎週" is not in the day kind table; it reads as "毎日")"}},
      {{{"timrcv.bin", 0, 3, "7時05分"}}, {u8R"(timrcv.bin 300 field 4: not a clock time as the editor writes it (00時00分): "7時05分" reads as 07:05)"}},
      {{{"timrcv.bin", 0, 0, "曜日指定"}}, {u8R"(timrcv.bin 300 field 2: no weekday chosen for "曜日指定": the event never occurs)"}},
      {{{"timrcv.bin", 0, 0, "日指定"}, {"timrcv.bin", 0, 2, "1,15"}},
       {u8R"(timrcv.bin 300 field 3: not a day list as the editor writes it (01,15,31): "1,15" reads as "01")"}},
      {{{"intrcv.bin", 0, 1, "月火x"}}, {u8R"(intrcv.bin 400 field 2: not weekdays as the editor writes them: "月火x" reads as "月火")"}},
      {{{"intrcv.bin", 0, 4, "07時00分"}}, {u8"intrcv.bin 400 field 5: the daily window 08:00-07:00 ends before it starts: it never opens"}},
      {{{"intrcv.bin", 0, 5, "0"}}, {u8R"(intrcv.bin 400 field 6: interval "0" reads as 0 seconds: the engine starts no timer for it)"}},
      {{{"intrcv.bin", 0, 5, "60s"}}, {u8R"(intrcv.bin 400 field 6: not a number: "60s" reads as 60)"}},
      {{{"netrcv.bin", 0, 0, "接続"}}, {u8R"(netrcv.bin 500 field 1: not "する" or "待ち": "接続" reads as "待ち")"}},
      {{{"netrcv.bin", 0, 2, "70000"}}, {u8R"(netrcv.bin 500 field 3: not a port (1-65535): "70000" reads as 70000)"}},
      {{{"rmtsnd.bin", 0, 2, ir201}}, {u8"rmtsnd.bin 100 field 3: an IR code of 201 bytes; the engine sends the first 200"}},
      {{{"cmdsnd.bin", 0, 0, "ショートカットの実行"}}, {u8R"(cmdsnd.bin 300 field 2: no file to open for "ショートカットの実行")"}},
      {{{"cmdsnd.bin", 0, 2, "\x82"}}, {u8R"(cmdsnd.bin 300 field 3: byte 0 is not CP932 text: "\x82")"}},
      {{{"ftpsnd.bin", 0, 5, "y"}}, {u8R"(ftpsnd.bin 400 field 6: not Y or N: "y" reads as N)"}},
      {{{"ftpsnd.bin", 0, 2, "abc"}}, {u8"ftpsnd.bin 400 field 3: not a stored password (upper-case hexadecimal, 16 characters a block, as the editor enciphers it)"}},
      {{{"autsnd.bin", 0, 4, "四十二"}}, {u8R"(autsnd.bin 500 field 5: not a number: "四十二" reads as 0)"}},
      {{{"capsnd.bin", 0, 0, "写真"}}, {u8R"(capsnd.bin 600 field 1: "写真" is not in the capture kind table; the action does nothing)"}},
      // The second appliance with the kanji 二 in place of the katakana ニ.
      {{{"pwrsnd.bin", 0, 0, "第二製品のパワーオン"}}, {u8R"(pwrsnd.bin 800 field 1: "第二製品のパワーオン" is not in the power operation table; the action does nothing)"}},
      {{{"pwrsnd.bin", 0, 1, "そのまま"}}, {u8R"(pwrsnd.bin 800 field 2: "そのまま" is not in the power initial state table; the action does nothing)"}},
      // Fields the engine does not read may hold anything.
      {{{"setio.bin", 0, 3, "○,,x"}, {"setmail.bin", -1, 5, "abc"}, {"cmdsnd.bin", 0, 2, "!!"}}, {}},
  };
  for (const Case& c : cases) {
    SettingsFolder folder = Clean();
    for (const Edit& e : c.edits) {
      if (e.slot < 0) {
        folder.records[e.file][static_cast<size_t>(e.field)] = e.cp932;
      } else {
        folder.slots[e.file][static_cast<size_t>(e.slot)][static_cast<size_t>(e.field)] = e.cp932;
      }
    }
    std::vector<std::string> expected;
    for (const std::u8string& f : c.findings) expected.push_back(U8(f.c_str()));
    EXPECT_EQ(Lines(folder), expected) << c.edits[0].file << " field " << c.edits[0].field + 1;
  }
}

TEST(Check, ActionsAndEventsOfMissingFilesAreNotRegistered) {
  SettingsFolder folder = Clean();
  folder.slots.erase("pwrsnd.bin");
  folder.slots.erase("timrcv.bin");
  EXPECT_EQ(Lines(folder),
            (std::vector<std::string>{
                "setio.bin 000 field 2: event 300 is not registered (its slot of timrcv.bin is empty)",
                "setio.bin 000 field 3: action 800 is not registered (its slot of pwrsnd.bin is empty)"}));
}

}  // namespace
}  // namespace halvik::tools
