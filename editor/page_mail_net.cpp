// The mail receive and mail send pages (mailrcv.bin, mailsnd.bin) and the
// net receive and net send pages (netrcv.bin, netsnd.bin).
#include "editor/page_defs.h"
#include "settings/text_forms.h"

namespace halvik::editor {
namespace {

// --- mail pages: three texts each ---
constexpr Column kMailReceiveColumns[] = {
    {"番号", 15}, {"メールアドレス", 120}, {"アクション文字列", 70}, {"コ メ ン ト", 80}};
constexpr Column kMailSendColumns[] = {
    {"番号", 10}, {"メールアドレス", 80}, {"タイトル", 80}, {"本文ファイル名", 120}};

constexpr Control kMailReceiveControls[] = {
    {1080, ControlKind::kEdit, 127}, {1081, ControlKind::kEdit, 31},
    {1082, ControlKind::kEdit, 63},  {1083, ControlKind::kEdit, kRegistrationRoom}};
constexpr Control kMailSendControls[] = {
    {1080, ControlKind::kEdit, 127}, {1081, ControlKind::kEdit, 63},
    {1082, ControlKind::kEdit, 255}, {1083, ControlKind::kEdit, kRegistrationRoom}};

settings::Record MailToCells(const Form& form) { return TextsToCells(form, {1080, 1081, 1082}); }

Form MailFromCells(const settings::Record& cells) {
  Form form;
  CellsToTexts(cells, {1080, 1081, 1082}, form);
  return form;
}

std::string MailSendCheck(const Form& form) {
  if (form.Text(1080).empty()) return "メールアドレスを設定下さい";
  if (form.Text(1081).empty()) return "メールタイトル設定下さい";
  if (form.Text(1082).empty()) return "本文ファイル名を設定下さい";
  return "";
}

Form NoInitial() { return {}; }

// --- net pages: a fixed connection word and four texts ---
enum : int { kClient = 1051, kServer = 1052 };

constexpr Column kNetReceiveColumns[] = {{"番号", 10},          {"接続", 15},       {"送信元ＩＰアドレス", 100},
                                         {"ポート", 20},        {"特定文字列", 50}, {"コ メ ン ト", 80}};
constexpr Column kNetSendColumns[] = {{"番号", 10},   {"接続", 15},       {"ＩＰアドレス", 100},
                                      {"ポート", 30}, {"特定文字列", 70}, {"コ メ ン ト", 80}};

constexpr Control kNetReceiveControls[] = {
    {kClient, ControlKind::kCheck},  {kServer, ControlKind::kCheck},
    {1080, ControlKind::kEdit, 127}, {1081, ControlKind::kEdit, 9},
    {1082, ControlKind::kEdit, 31},  {1083, ControlKind::kEdit, 63},
    {1084, ControlKind::kEdit, kRegistrationRoom}};
constexpr Control kNetSendControls[] = {
    {kClient, ControlKind::kCheck},  {kServer, ControlKind::kCheck},
    {1080, ControlKind::kEdit, 127}, {1081, ControlKind::kEdit, 31},
    {1082, ControlKind::kEdit, 31},  {1083, ControlKind::kEdit, 63},
    {1084, ControlKind::kEdit, kRegistrationRoom}};

settings::Record NetToCells(const Form& form) {
  settings::Record cells = {std::string(form.Checked(kClient) ? settings::kConnect : settings::kWait)};
  for (const std::string& text : TextsToCells(form, {1080, 1081, 1082, 1083})) cells.push_back(text);
  return cells;
}

Form NetFromCells(const settings::Record& cells) {
  Form form;
  form.CheckOnly(kClient, 2, Cell(cells, 0) == settings::kConnect ? 0 : 1);
  CellsToTexts({Cell(cells, 1), Cell(cells, 2), Cell(cells, 3), Cell(cells, 4)}, {1080, 1081, 1082, 1083}, form);
  return form;
}

// Each net page fixes its connection type: the buttons are set and disabled.
Form NetReceiveInitial() {
  Form form;
  form.CheckOnly(kClient, 2, 1);
  form.Enable(kClient, 2, false);
  return form;
}

Form NetSendInitial() {
  Form form;
  form.CheckOnly(kClient, 2, 0);
  form.Enable(kClient, 2, false);
  return form;
}

}  // namespace

PageDef MailReceivePageDef() {
  return {PageId::kMailReceive, 140, "メール受信設定", "mailrcv.bin", 200, 1083, NumberColumn::kAsTyped,
          "登録番号が間違っています(200-299まで)", kMailReceiveColumns, kMailReceiveControls,
          nullptr, MailToCells, MailFromCells, NoInitial};
}

PageDef MailSendPageDef() {
  return {PageId::kMailSend, 141, "メール送信設定", "mailsnd.bin", 200, 1083, NumberColumn::kAsTyped,
          "登録番号が間違っています(200-299まで)", kMailSendColumns, kMailSendControls,
          MailSendCheck, MailToCells, MailFromCells, NoInitial};
}

PageDef NetReceivePageDef() {
  return {PageId::kNetReceive, 150, "ネットから受信", "netrcv.bin", 500, 1084, NumberColumn::kKeep,
          "登録番号が間違っています(500-599まで)", kNetReceiveColumns, kNetReceiveControls,
          nullptr, NetToCells, NetFromCells, NetReceiveInitial};
}

PageDef NetSendPageDef() {
  return {PageId::kNetSend, 151, "ネットへの送信", "netsnd.bin", 700, 1084, NumberColumn::kKeep,
          "登録番号が間違っています(700-799まで)", kNetSendColumns, kNetSendControls,
          nullptr, NetToCells, NetFromCells, NetSendInitial};
}

}  // namespace halvik::editor
