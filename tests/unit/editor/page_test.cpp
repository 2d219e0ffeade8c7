#include "editor/page.h"

#include <gtest/gtest.h>

#include <set>

#include "settings/password.h"

namespace halvik::editor {
namespace {

using settings::Record;

Form Texts(std::initializer_list<std::pair<const int, std::string>> texts) {
  Form form;
  form.text = texts;
  return form;
}

TEST(PageTable, EveryPageMatchesItsFile) {
  std::set<int> dialogs;
  for (const PageDef& page : AllPages()) {
    SCOPED_TRACE(page.caption);
    EXPECT_EQ(static_cast<int>(page.columns.size()), FieldCount(page) + 1);
    EXPECT_EQ(ShapeOfPage(page).base, page.base);
    EXPECT_TRUE(dialogs.insert(page.dialogId).second);
    std::set<int> ids;
    for (const Control& c : page.controls) {
      EXPECT_TRUE(ids.insert(c.id).second) << c.id;
    }
    if (page.id != PageId::kMacro) {
      EXPECT_TRUE(ids.contains(page.registrationField));
    }
    // Loading a row sets only controls the page reads.
    if (page.fromCells != nullptr) {
      Form loaded = page.fromCells(Record(static_cast<size_t>(FieldCount(page))));
      for (const auto& [id, text] : loaded.text) {
        EXPECT_TRUE(ids.contains(id)) << id;
      }
      for (const auto& [id, on] : loaded.checked) {
        EXPECT_TRUE(ids.contains(id)) << id;
      }
      for (const auto& [id, pos] : loaded.selection) {
        EXPECT_TRUE(ids.contains(id)) << id;
      }
    }
  }
  EXPECT_EQ(EventPage(3)->caption, "時刻指定設定");
  EXPECT_EQ(ActionPage(8)->caption, "電気製品のパワーオンオフ操作");
  EXPECT_EQ(EventPage(6), nullptr);
  EXPECT_EQ(ActionPage(0), nullptr);
}

TEST(PageTable, NumberValue) {
  const std::pair<const char*, long> cases[] = {
      {"305", 305}, {" 305", 305}, {"305abc", 305}, {"abc", 0}, {"", 0}, {"-5", 0}, {"+850", 0}, {"0", 0}, {"99999999999", 999999999}};
  for (auto [text, value] : cases) EXPECT_EQ(NumberValue(text), value) << text;
}

TEST(PageTable, RangeMessages) {
  for (const PageDef& page : AllPages()) {
    SCOPED_TRACE(page.caption);
    EXPECT_EQ(RangeCheck(page, page.base), "");
    EXPECT_EQ(RangeCheck(page, page.base + 99), "");
    EXPECT_EQ(RangeCheck(page, page.base - 1), page.rangeMessage);
    EXPECT_EQ(RangeCheck(page, page.base + 100), page.rangeMessage);
  }
  EXPECT_EQ(Page(PageId::kTimeOfDay).rangeMessage, "登録番号が間違っています(300-399まで)");
  EXPECT_EQ(Page(PageId::kRule).rangeMessage, "登録番号が間違っています(1-99まで)");
  EXPECT_EQ(Page(PageId::kIrSend).rangeMessage, "登録番号が間違っています(1-99まで)");
}

TEST(PageTable, PageForRuleCell) {
  struct Case { int column; const char* cell; PageId page; int row; bool found; };
  const Case cases[] = {
      {2, "305", PageId::kTimeOfDay, 5, true},
      {3, "801/5,102", PageId::kPower, 1, true},
      {3, "150", PageId::kIrSend, 50, true},
      {2, "150", PageId::kLearning, 50, true},
      {2, "599", PageId::kNetReceive, 99, true},
      {2, "650", PageId::kRule, 0, false},   // events stop at 599
      {3, "950", PageId::kRule, 0, false},   // actions stop at 899
      {1, "305", PageId::kRule, 0, false},
      {4, "305", PageId::kRule, 0, false},
      {3, "", PageId::kRule, 0, false},
      {3, "x301", PageId::kRule, 0, false},
  };
  for (const Case& c : cases) {
    auto choice = PageForRuleCell(c.column, c.cell);
    ASSERT_EQ(choice.has_value(), c.found) << c.cell;
    if (!c.found) continue;
    EXPECT_EQ(choice->page->id, c.page) << c.cell;
    EXPECT_EQ(choice->row, c.row) << c.cell;
  }
}

// The rule page's checks, in order: each case fails at exactly one of them.
TEST(RulePage, ChecksInOrder) {
  struct Case { const char* event; const char* actions; const char* number; const char* message; };
  const Case cases[] = {
      {"99", "101", "3", "発生イベント番号が間違っています"},
      {"1000", "", "x", "発生イベント番号が間違っています"},
      {"abc", "", "", "発生イベント番号が間違っています"},
      {"999", "", "3", "実行アクション番号を指定下さい"},
      {"101", ",201", "3", "実行アクション番号欄に無効文字があります"},
      {"101", "201,,301", "3", "実行アクション番号欄に無効文字があります"},
      {"101", "a201", "3", "実行アクション番号欄の番号が間違っています"},
      {"101", "150a", "3", "実行アクション番号欄の番号が間違っています"},
      {"101", "50", "3", "実行アクション番号が間違っています"},
      {"101", "201,1000", "3", "実行アクション番号が間違っています"},
      {"101", "/5", "3", "実行アクション番号が間違っています"},
      {"101", "101,102,103,104,105,106,107,108,109,110,111,112,113,114,115,116", "3",
       "１つのルールの実行アクションは最大15個までです"},
      {"101", "201", "100", "登録番号が間違っています(1-99まで)"},
      {"101", "201", "-1", ""},  // a sign is no digit: rule 0
      {"101", "201", "", ""},  // no digits is rule 0
      {"101", "150,2a", "99", ""},
      {"101", "201/5,", "3", ""},  // a trailing comma is as if absent
      {"101", "101,102,103,104,105,106,107,108,109,110,111,112,113,114,115", "3", ""},
  };
  const PageDef& page = Page(PageId::kRule);
  for (const Case& c : cases) {
    Form form = Texts({{1080, c.event}, {1081, c.actions}, {1083, c.number}});
    int row = -1;
    Record cells;
    EXPECT_EQ(PrepareRegister(page, form, row, cells), c.message) << c.event << " " << c.actions << " " << c.number;
  }
}

TEST(RulePage, CellsAndBack) {
  const PageDef& page = Page(PageId::kRule);
  Form form = Texts({{1080, "101"}, {1081, "201/5,301"}, {1082, "朝の照明"}, {1083, "3"}});
  int row = -1;
  Record cells;
  ASSERT_EQ(PrepareRegister(page, form, row, cells), "");
  EXPECT_EQ(row, 3);
  EXPECT_EQ(cells, (Record{"○", "101", "201/5,301", "朝の照明"}));
  form.checked[1140] = true;
  form.text[1081] = "150,2a";
  ASSERT_EQ(PrepareRegister(page, form, row, cells), "");
  EXPECT_EQ(cells, (Record{"Ｘ", "101", "150,2a", "朝の照明"}));  // the whole text is kept
  Form loaded = page.fromCells(cells);
  EXPECT_TRUE(loaded.Checked(1140));
  EXPECT_EQ(loaded.Text(1080), "101");
  EXPECT_EQ(loaded.Text(1081), "150,2a");
  EXPECT_FALSE(page.fromCells({"○", "101", "", ""}).Checked(1140));
  EXPECT_FALSE(page.fromCells({}).Checked(1140));
}

TEST(TimerPages, TimeOfDayTexts) {
  const PageDef& page = Page(PageId::kTimeOfDay);
  Form form = page.initial();
  EXPECT_TRUE(form.Checked(1051));
  EXPECT_FALSE(form.enabled.at(1140));
  EXPECT_FALSE(form.enabled.at(1147));
  form.CheckOnly(1051, 3, 1);
  form.checked[1141] = form.checked[1145] = true;  // Monday, Friday
  form.selection[1015] = 7;
  form.selection[1016] = 5;
  form.text[1084] = "310";
  int row = -1;
  Record cells;
  ASSERT_EQ(PrepareRegister(page, form, row, cells), "");
  EXPECT_EQ(row, 10);
  EXPECT_EQ(cells, (Record{"曜日指定", "月金", "", "07時05分", ""}));

  Form days = page.initial();
  days.CheckOnly(1051, 3, 2);
  days.checked[1147] = days.checked[1161] = days.checked[1177] = true;  // 1, 15, 31
  EXPECT_EQ(page.toCells(days)[2], "01,15,31");

  Form loaded = page.fromCells({"日指定", "月", "01,15,31", "23時59分", "c"});
  EXPECT_TRUE(loaded.Checked(1053));
  EXPECT_FALSE(loaded.Checked(1051));
  EXPECT_TRUE(loaded.enabled.at(1147));
  EXPECT_FALSE(loaded.enabled.at(1140));
  EXPECT_TRUE(loaded.Checked(1141));
  EXPECT_TRUE(loaded.Checked(1147) && loaded.Checked(1161) && loaded.Checked(1177));
  EXPECT_FALSE(loaded.Checked(1148));
  EXPECT_EQ(loaded.Selection(1015), 23);
  EXPECT_EQ(loaded.Selection(1016), 59);
  EXPECT_EQ(page.toCells(loaded), (Record{"日指定", "月", "01,15,31", "23時59分", "c"}));

  // Malformed texts set what their characters name and skip the rest.
  Form odd = page.fromCells({"?", "月x火", "", "99時", ""});
  EXPECT_TRUE(odd.Checked(1051));
  EXPECT_TRUE(odd.Checked(1141));
  EXPECT_EQ(odd.Selection(1015), -1);
}

TEST(TimerPages, IntervalTexts) {
  const PageDef& page = Page(PageId::kInterval);
  Form form = page.initial();
  form.checked[1141] = true;  // Monday stays in the text with "毎日"
  form.selection[1015] = 9;
  form.selection[1017] = 17;
  form.selection[1018] = 30;
  form.text[1085] = "abc";
  EXPECT_EQ(page.toCells(form), (Record{"毎日", "月", "", "09時00分", "17時30分", "abc", ""}));
  Form loaded = page.fromCells(page.toCells(form));
  EXPECT_EQ(loaded.Selection(1017), 17);
  EXPECT_EQ(loaded.Selection(1018), 30);
  EXPECT_EQ(loaded.Text(1085), "abc");
  EXPECT_FALSE(loaded.enabled.at(1141));
}

struct CheckCase {
  PageId page;
  std::map<int, std::string> texts;
  std::map<int, bool> checks;
  const char* message;
};

TEST(CategoryPages, ChecksInOrder) {
  std::map<int, std::string> mail = {{1080, "a@b"}, {1081, "t"}, {1082, "c:\\b.txt"}, {1083, "250"}};
  auto without = [](std::map<int, std::string> texts, int id) { texts[id] = ""; return texts; };
  std::map<int, std::string> ftp = {{1080, "h"}, {1081, "u"}, {1082, "p"}, {1083, "/f"}, {1084, "c:\\f"}, {1085, "400"}};
  std::map<int, std::string> capture = {{1080, "10"}, {1081, "c:\\r.wav"}, {1084, "600"}};
  std::map<int, bool> captureButtons = {{1051, true}, {1061, true}, {1071, true}, {1057, true}};
  std::map<int, std::string> ir = {{1080, "tv"}, {1081, "on"}, {1082, "1A-FF-"}, {1083, "1A-FF-"}, {1084, "150"}};
  const CheckCase cases[] = {
      {PageId::kMailSend, without(mail, 1080), {}, "メールアドレスを設定下さい"},
      {PageId::kMailSend, without(without(mail, 1081), 1082), {}, "メールタイトル設定下さい"},
      {PageId::kMailSend, without(mail, 1082), {}, "本文ファイル名を設定下さい"},
      {PageId::kMailSend, without(mail, 1083), {}, "登録番号が間違っています(200-299まで)"},
      {PageId::kMailSend, mail, {}, ""},
      {PageId::kMailReceive, {{1083, "250"}}, {}, ""},
      {PageId::kFtp, without(ftp, 1080), {}, "サーバ名を入力ください"},
      {PageId::kFtp, without(ftp, 1081), {}, "ユーザＩＤを入力ください"},
      {PageId::kFtp, without(ftp, 1082), {}, "パスワードを入力ください"},
      {PageId::kFtp, without(ftp, 1083), {}, "サーバフォルダ名を入力ください"},
      {PageId::kFtp, without(ftp, 1084), {}, "ローカルファイル名を入力ください"},
      {PageId::kFtp, without(ftp, 1085), {}, "登録番号が間違っています(400-499まで)"},
      {PageId::kCapture, without(capture, 1080), captureButtons, "記録時間を入力ください"},
      {PageId::kCapture, without(capture, 1081), captureButtons, "保存ファイル名を入力ください"},
      {PageId::kCapture, capture, {{1051, true}}, "種類と形式を選んで下さい"},
      {PageId::kCapture, capture, captureButtons, ""},
      {PageId::kCommand, {{1082, "305"}}, {{1054, true}}, ""},
      {PageId::kCommand, {{1082, "305"}}, {{1055, true}}, "実行するファイルをドラッグして下さい"},
      {PageId::kCommand, {{1082, "305"}}, {{1056, true}}, "実行するファイルをドラッグして下さい"},
      {PageId::kCommand, {{1082, "305"}}, {}, "操作設定を選んで下さい"},
      {PageId::kCommand, {{1082, "400"}, {1080, "x"}}, {{1056, true}}, "登録番号が間違っています(300-399まで)"},
      {PageId::kLearning, without(ir, 1083), {}, "１回目と２回目の読み取り内容が違います"},
      {PageId::kLearning, without(without(ir, 1082), 1083), {}, "読み取りを行って下さい"},
      {PageId::kLearning, without(ir, 1080), {}, "リモコン名を入れて下さい"},
      {PageId::kLearning, without(ir, 1081), {}, "ボタン名を入れて下さい"},
      {PageId::kLearning, without(ir, 1084), {}, "登録番号が間違っています(1-99まで)"},
      {PageId::kLearning, ir, {}, ""},
      {PageId::kIrSend, without(ir, 1082), {}, "読み取りを行って下さい"},
      {PageId::kIrSend, without(ir, 1080), {}, "リモコン名を入力下さい"},
      {PageId::kIrSend, without(without(ir, 1081), 1083), {}, ""},
      {PageId::kPower, {{1082, "900"}}, {{1051, true}, {1059, true}}, "登録番号が間違っています(800-899まで)"},
      {PageId::kPower, {{1082, "801"}}, {{1051, true}}, "操作と初期状態を選んで下さい"},
      {PageId::kNetReceive, {{1084, "500"}}, {}, ""},
      {PageId::kNetSend, {{1084, "800"}}, {}, "登録番号が間違っています(700-799まで)"},
  };
  for (const CheckCase& c : cases) {
    Form form;
    form.text = c.texts;
    form.checked = c.checks;
    int row = -1;
    Record cells;
    EXPECT_EQ(PrepareRegister(Page(c.page), form, row, cells), c.message) << Page(c.page).caption;
  }
}

TEST(CategoryPages, LearningComparesTheFirst48Characters) {
  std::string head(48, 'A');
  Form form = Texts({{1080, "tv"}, {1081, "on"}, {1082, head + "01-FF-"}, {1083, head + "02-FF-"}, {1084, "100"}});
  int row = -1;
  Record cells;
  EXPECT_EQ(PrepareRegister(Page(PageId::kLearning), form, row, cells), "");
  EXPECT_EQ(cells[2], head + "01-FF-");
}

// Every page stores what it shows: cells -> fields -> cells is the identity
// for rows the page itself writes.
TEST(CategoryPages, RowsLoadAndRegisterUnchanged) {
  const std::pair<PageId, Record> rows[] = {
      {PageId::kMailReceive, {"a@example.jp", "act", "メモ"}},
      {PageId::kMailSend, {"b@example.jp", "件名", "C:\\本文.txt"}},
      {PageId::kNetReceive, {"待ち", "127.0.0.1", "abc", "ON", "c"}},
      {PageId::kNetReceive, {"する", "", "", "", ""}},  // a loaded client row keeps "する"
      {PageId::kNetSend, {"する", "10.0.0.2", "5000", "LIGHT", ""}},
      {PageId::kCommand, {"メディアファイル実行", "C:\\a.mp3", "音楽"}},
      {PageId::kCommand, {"再起動", "old", ""}},
      {PageId::kFtp, {"ftp.example.jp", "user", settings::EncodePassword("秘密pw"), "/www/a.txt", "C:\\a.txt", "Y", "N", "Y"}},
      {PageId::kCapture, {"動画", "640*480", "GIF", "mp3", "30", "C:\\v.avi", "録画"}},
      {PageId::kPower, {"第ニ製品のパワーオフ", "パワーオンする", "照明"}},
      {PageId::kLearning, {"テレビ", "電源", "1A-05-FF-"}},
      {PageId::kIrSend, {"テレビ", "", "1A-05-FF-"}},
  };
  for (const auto& [id, cells] : rows) {
    const PageDef& page = Page(id);
    EXPECT_EQ(page.toCells(page.fromCells(cells)), cells) << page.caption;
  }
}

TEST(CategoryPages, FieldsTheyShow) {
  Form ftp = Page(PageId::kFtp).fromCells({"h", "u", settings::EncodePassword("pw"), "", "", "Y", "N", ""});
  EXPECT_EQ(ftp.Text(1082), "pw");
  EXPECT_TRUE(ftp.Checked(1140));
  EXPECT_FALSE(ftp.Checked(1141));
  EXPECT_TRUE(ftp.Checked(1142));  // anything but "N" checks the box

  Form media = Page(PageId::kCommand).fromCells({"メディアファイル実行", "C:\\a.mp3", ""});
  EXPECT_TRUE(media.Checked(1056));
  EXPECT_TRUE(media.enabled.at(1080));
  Form restart = Page(PageId::kCommand).fromCells({"再起動", "", ""});
  EXPECT_TRUE(restart.Checked(1053));
  EXPECT_FALSE(restart.enabled.at(1080));
  Form unknown = Page(PageId::kCommand).fromCells({"何か", "", ""});
  EXPECT_EQ(unknown.FirstChecked(1051, 6), -1);

  Form net = Page(PageId::kNetReceive).initial();
  EXPECT_TRUE(net.Checked(1052));
  EXPECT_FALSE(net.enabled.at(1051));
  EXPECT_FALSE(net.enabled.at(1052));
  EXPECT_EQ(Page(PageId::kNetReceive).toCells(net)[0], "待ち");
  EXPECT_EQ(Page(PageId::kNetSend).toCells(Page(PageId::kNetSend).initial())[0], "する");

  Form capture = Page(PageId::kCapture).initial();
  EXPECT_TRUE(capture.enabled.empty());  // every control usable at creation
  ApplyCaptureKind(3, capture);
  EXPECT_FALSE(capture.enabled.at(1061));
  EXPECT_FALSE(capture.enabled.at(1071));
  EXPECT_TRUE(capture.enabled.at(1057));
  EXPECT_TRUE(capture.enabled.at(1080));
  ApplyCaptureKind(0, capture);
  EXPECT_TRUE(capture.enabled.at(1071));
  EXPECT_FALSE(capture.enabled.at(1080));

  Form power = Page(PageId::kPower).fromCells({"第四製品のパワーオフ", "何もしない", ""});
  EXPECT_EQ(power.FirstChecked(1051, 8), 7);
  EXPECT_EQ(power.FirstChecked(1059, 3), 0);
}

}  // namespace
}  // namespace halvik::editor

#include "editor/record_dialog.h"

namespace halvik::editor {
namespace {

TEST(RecordDialogs, MailServerChecksInOrderAndCiphersThePassword) {
  const RecordDialogDef& dialog = RecordDialog(RecordDialogId::kMailServer);
  std::map<int, std::string> full = {{1080, "pop.example.jp"}, {1081, "smtp.example.jp"}, {1082, "taro"},
                                     {1083, "秘密"}, {1084, "山田太郎"}, {1085, "5"}};
  const std::pair<int, const char*> empties[] = {
      {1080, "受信サーバ名を入れて下さい"}, {1081, "送信サーバ名を入れて下さい"}, {1082, "ユーザＩＤを入れて下さい"},
      {1083, "パスワードを入れて下さい"},   {1084, "氏名を入れて下さい"},         {1085, "時間間隔を入れて下さい"}};
  for (auto [id, message] : empties) {
    Form form;
    form.text = full;
    for (int later = id; later <= 1085; ++later) form.text[later] = "";
    settings::Record record;
    EXPECT_EQ(RecordFromForm(dialog, form, record), message);
  }
  Form form;
  form.text = full;
  settings::Record record;
  ASSERT_EQ(RecordFromForm(dialog, form, record), "");
  EXPECT_EQ(record, (settings::Record{"pop.example.jp", "smtp.example.jp", "taro",
                                      settings::EncodePassword("秘密"), "山田太郎", "5"}));
  EXPECT_EQ(FormFromRecord(dialog, record).Text(1083), "秘密");

  form.text[1083] = std::string(119, 'p');
  ASSERT_EQ(RecordFromForm(dialog, form, record), "");
  EXPECT_EQ(record[3].size(), 240u);
  form.text[1083] = std::string(120, 'p');
  EXPECT_EQ(RecordFromForm(dialog, form, record), "パスワードは119バイトまでにして下さい");
}

TEST(RecordDialogs, DirectActions) {
  Form form;
  form.text = {{1080, "127.0.0.1"}, {1081, ""}};
  settings::Record record;
  EXPECT_EQ(RecordFromForm(RecordDialog(RecordDialogId::kNetDirect), form, record), "アクション文字列入れて下さい");
  form.text[1080] = "";
  EXPECT_EQ(RecordFromForm(RecordDialog(RecordDialogId::kNetDirect), form, record), "IPアドレスを入れて下さい");
  EXPECT_EQ(RecordFromForm(RecordDialog(RecordDialogId::kMailDirect), form, record), "メールアドレスを入れて下さい");
  form.text = {{1080, "a@b"}, {1081, "act="}};
  ASSERT_EQ(RecordFromForm(RecordDialog(RecordDialogId::kMailDirect), form, record), "");
  EXPECT_EQ(record, (settings::Record{"a@b", "act="}));
}

}  // namespace
}  // namespace halvik::editor

#include "settings/catalogue.h"
#include "settings/words.h"

namespace halvik::editor {
namespace {

// What a page registers goes through the slot file into the engine's readers
// and comes out as the values the engine acts on.
TEST(EngineReadsWhatPagesWrite, EveryPage) {
  auto roundTrip = [](PageId id, const Form& form) {
    const PageDef& page = Page(id);
    int row = -1;
    settings::Record cells;
    EXPECT_EQ(PrepareRegister(page, form, row, cells), "") << page.caption;
    settings::Slots slots;
    slots[static_cast<size_t>(row)] = cells;
    std::vector<uint8_t> image;
    EXPECT_TRUE(settings::BuildSlotImage(ShapeOfPage(page), slots, image)) << page.caption;
    return settings::ParseSlotImage(ShapeOfPage(page), image)[static_cast<size_t>(row)];
  };
  auto form = [](std::map<int, std::string> text, std::map<int, bool> checked = {},
                 std::map<int, int> selection = {}) {
    Form f;
    f.text = std::move(text);
    f.checked = std::move(checked);
    f.selection = std::move(selection);
    return f;
  };

  auto rule = settings::ReadRule(roundTrip(PageId::kRule, form({{1080, "101"}, {1081, "201/5,801"}, {1083, "3"}})));
  EXPECT_TRUE(rule.inForce);
  EXPECT_EQ(rule.eventNumber, 101);
  EXPECT_EQ(rule.actionList, "201/5,801");

  auto time = settings::ReadTimeOfDayEvent(roundTrip(
      PageId::kTimeOfDay, form({{1084, "310"}}, {{1052, true}, {1141, true}, {1145, true}}, {{1015, 7}, {1016, 5}})));
  EXPECT_EQ(time.dayKind, settings::DayKind::kWeekdays);
  EXPECT_EQ(time.weekdays.to_ulong(), 0b0100010u);
  EXPECT_EQ(time.at.hour, 7);
  EXPECT_EQ(time.at.minute, 5);

  auto interval = settings::ReadIntervalEvent(roundTrip(
      PageId::kInterval, form({{1084, "450"}, {1085, "600"}}, {{1053, true}, {1147, true}, {1177, true}},
                              {{1015, 9}, {1016, 0}, {1017, 17}, {1018, 30}})));
  EXPECT_EQ(interval.dayKind, settings::DayKind::kDaysOfMonth);
  EXPECT_TRUE(interval.days[1] && interval.days[31] && !interval.days[2]);
  EXPECT_EQ(interval.end.Minutes(), 17 * 60 + 30);
  EXPECT_EQ(interval.intervalSeconds, 600);

  auto netReceive = settings::ReadNetReceiveEvent(
      roundTrip(PageId::kNetReceive, form({{1080, "127.0.0.1"}, {1081, "5000"}, {1082, "ON"}, {1084, "500"}},
                                          {{1052, true}})));
  EXPECT_FALSE(netReceive.connect);
  EXPECT_EQ(netReceive.port, 5000);
  auto netSend = settings::ReadNetSendAction(
      roundTrip(PageId::kNetSend, form({{1080, "10.0.0.2"}, {1081, "5000"}, {1082, "LIGHT"}, {1084, "700"}},
                                       {{1051, true}})));
  EXPECT_TRUE(netSend.connect);
  EXPECT_EQ(netSend.text, "LIGHT");

  auto mailReceive = settings::ReadMailReceiveEvent(
      roundTrip(PageId::kMailReceive, form({{1080, "taro@example.jp"}, {1081, "act"}, {1083, "250"}})));
  EXPECT_EQ(mailReceive.sender, "taro@example.jp");
  auto mailSend = settings::ReadMailSendAction(
      roundTrip(PageId::kMailSend, form({{1080, "a@b"}, {1081, "件名"}, {1082, "C:\\b.txt"}, {1083, "205"}})));
  EXPECT_EQ(mailSend.subject, "件名");

  auto command = settings::ReadPcControlAction(
      roundTrip(PageId::kCommand, form({{1080, "C:\\a.mp3"}, {1082, "305"}}, {{1056, true}})));
  EXPECT_EQ(command.kind, settings::kPlayMedia);
  EXPECT_EQ(command.file, "C:\\a.mp3");

  auto ftp = settings::ReadFtpSendAction(roundTrip(
      PageId::kFtp, form({{1080, "h"}, {1081, "u"}, {1082, "秘密"}, {1083, "/a"}, {1084, "C:\\a"}, {1085, "401"}},
                         {{1140, true}, {1142, true}})));
  EXPECT_EQ(ftp.password, "秘密");
  EXPECT_TRUE(ftp.passive);
  EXPECT_FALSE(ftp.binary);
  EXPECT_TRUE(ftp.convert);

  auto capture = settings::ReadCaptureAction(roundTrip(
      PageId::kCapture, form({{1080, "10"}, {1081, "C:\\r.mp3"}, {1084, "610"}},
                             {{1054, true}, {1062, true}, {1072, true}, {1058, true}})));
  EXPECT_EQ(capture.kind, settings::kSound);
  EXPECT_EQ(capture.imageSize, 1);
  EXPECT_EQ(capture.imageFormat, 1);
  EXPECT_EQ(capture.soundFormat, 1);
  EXPECT_EQ(capture.seconds, 10);

  auto power = settings::ReadPowerAction(
      roundTrip(PageId::kPower, form({{1082, "801"}}, {{1054, true}, {1061, true}})));
  EXPECT_EQ(power.Appliance(), 1);
  EXPECT_FALSE(power.SwitchesOn());
  EXPECT_EQ(power.initialState, settings::kSwitchOn);

  auto learning = settings::ReadIrReceiveEvent(roundTrip(
      PageId::kLearning, form({{1080, "tv"}, {1081, "on"}, {1082, "1A-05-FF-"}, {1083, "1A-05-FF-"}, {1084, "150"}})));
  EXPECT_EQ(learning.signature[0], 0x1A);
  EXPECT_EQ(learning.signature[1], 0x05);
  auto irSend = settings::ReadIrSendAction(
      roundTrip(PageId::kIrSend, form({{1080, "tv"}, {1082, "1A-05-FF-"}, {1084, "199"}})));
  EXPECT_EQ(irSend.code.size() >= 3 ? irSend.code[2] : 0, 0xFF);
}

}  // namespace
}  // namespace halvik::editor

#include <random>

namespace halvik::editor {
namespace {

// Cells come from files anyone can write: loading arbitrary bytes (cut
// double-byte characters, stray markers, overlong texts) must set only what
// they name and leave a form that registers into exactly F cells.
TEST(CategoryPages, ArbitraryCellsLoadSafely) {
  std::mt19937 random(20261211);
  const std::string pieces[] = {"時", "分", "曜", "日", "月", ",", "01", "99", "\x81", "\xFF", "Ｘ", "する", "N", "Y", "-"};
  for (const PageDef& page : AllPages()) {
    if (page.fromCells == nullptr) continue;
    for (int round = 0; round < 300; ++round) {
      settings::Record cells;
      for (int f = 0; f < FieldCount(page); ++f) {
        std::string cell;
        int parts = static_cast<int>(random() % 8);
        for (int i = 0; i < parts; ++i) cell += pieces[random() % std::size(pieces)];
        cells.push_back(cell);
      }
      Form form = page.fromCells(cells);
      for (const auto& [id, position] : form.selection) EXPECT_TRUE(position >= -1 && position < 60) << id;
      EXPECT_LE(page.toCells(form).size(), static_cast<size_t>(FieldCount(page))) << page.caption;
    }
  }
}

}  // namespace
}  // namespace halvik::editor
