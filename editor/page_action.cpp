// The command page (cmdsnd.bin), the FTP page (ftpsnd.bin) and the capture
// page (capsnd.bin): words from the fixed tables, Y/N options and the FTP
// password, which the file holds only enciphered.
#include "editor/page_defs.h"
#include "settings/password.h"
#include "settings/words.h"

namespace halvik::editor {
namespace {

// --- command page ---
enum : int { kPowerOff = 1051, kOperations = 6, kFile = 1080 };

constexpr Column kCommandColumns[] = {{"番号", 10}, {"環境設定", 100}, {"ファイル名", 200}, {"コメント", 50}};
constexpr Control kCommandControls[] = {
    {1051, ControlKind::kCheck},     {1052, ControlKind::kCheck},    {1053, ControlKind::kCheck},
    {1054, ControlKind::kCheck},     {1055, ControlKind::kCheck},    {1056, ControlKind::kCheck},
    {kFile, ControlKind::kEdit, 511}, {1081, ControlKind::kEdit, 63}, {1082, ControlKind::kEdit, kRegistrationRoom}};

std::string CommandCheck(const Form& form) {
  int operation = form.FirstChecked(kPowerOff, kOperations);
  // Only a loaded row with an unknown word leaves every button clear.
  if (operation < 0) return "操作設定を選んで下さい";
  if (operation >= 4 && form.Text(kFile).empty()) return "実行するファイルをドラッグして下さい";
  return "";
}

settings::Record CommandToCells(const Form& form) {
  return {std::string(Word(settings::kPcControlWords, form.FirstChecked(kPowerOff, kOperations))),
          form.Text(kFile), form.Text(1081)};
}

Form CommandFromCells(const settings::Record& cells) {
  Form form;
  int operation = WordPosition(settings::kPcControlWords, Cell(cells, 0));
  form.CheckOnly(kPowerOff, kOperations, operation);
  ApplyCommandOperation(operation, form);
  CellsToTexts({Cell(cells, 1), Cell(cells, 2)}, {kFile, 1081}, form);
  return form;
}

Form CommandInitial() {
  Form form;
  form.CheckOnly(kPowerOff, kOperations, 0);
  ApplyCommandOperation(0, form);
  return form;
}

// --- FTP page ---
enum : int { kPassword = 1082, kPassive = 1140, kOptions = 3 };

constexpr Column kFtpColumns[] = {{"番号", 10},     {"FTPサーバ", 50},         {"ユーザＩＤ", 20},
                                  {"パスワード", 10}, {"サーバフォルダー", 60}, {"ローカルフォルダー", 60},
                                  {"PASV", 5},       {"BIN", 5},              {"CVT", 5}};
constexpr Control kFtpControls[] = {
    {1080, ControlKind::kEdit, 127}, {1081, ControlKind::kEdit, 31}, {kPassword, ControlKind::kEdit, 31},
    {1083, ControlKind::kEdit, 255}, {1084, ControlKind::kEdit, 255}, {1140, ControlKind::kCheck},
    {1141, ControlKind::kCheck},     {1142, ControlKind::kCheck},     {1085, ControlKind::kEdit, kRegistrationRoom}};

std::string FtpCheck(const Form& form) {
  if (form.Text(1080).empty()) return "サーバ名を入力ください";
  if (form.Text(1081).empty()) return "ユーザＩＤを入力ください";
  if (form.Text(kPassword).empty()) return "パスワードを入力ください";
  if (form.Text(1083).empty()) return "サーバフォルダ名を入力ください";
  if (form.Text(1084).empty()) return "ローカルファイル名を入力ください";
  return "";
}

settings::Record FtpToCells(const Form& form) {
  settings::Record cells = {form.Text(1080), form.Text(1081), settings::EncodePassword(form.Text(kPassword)),
                            form.Text(1083), form.Text(1084)};
  for (int i = 0; i < kOptions; ++i) cells.push_back(form.Checked(kPassive + i) ? "Y" : "N");
  return cells;
}

Form FtpFromCells(const settings::Record& cells) {
  Form form;
  CellsToTexts({Cell(cells, 0), Cell(cells, 1)}, {1080, 1081}, form);
  form.text[kPassword] = settings::DecodePassword(Cell(cells, 2));
  CellsToTexts({Cell(cells, 3), Cell(cells, 4)}, {1083, 1084}, form);
  for (int i = 0; i < kOptions; ++i) form.checked[kPassive + i] = Cell(cells, 5 + static_cast<size_t>(i)) != "N";
  return form;
}

Form NoInitial() { return {}; }

// --- capture page: four button groups, each stored as its word ---
struct ButtonGroup {
  int first;
  std::span<const std::string_view> words;
  int count;
};
const ButtonGroup kCaptureGroups[] = {
    {1051, settings::kCaptureKindWords, 4},
    {1061, settings::kImageSizeWords, 3},
    {1071, settings::kImageFormatWords, 2},  // the page offers JPG and GIF only
    {1057, settings::kSoundFormatWords, 2},
};

constexpr Column kCaptureColumns[] = {{"番号", 15},       {"種類", 30},     {"画像サイズ", 30},
                                      {"画像形式", 30},   {"サウンド形式", 30}, {"採取時間", 20},
                                      {"保存ファイル名", 50}, {"コメント", 10}};
constexpr Control kCaptureControls[] = {
    {1051, ControlKind::kCheck},     {1052, ControlKind::kCheck},     {1053, ControlKind::kCheck},
    {1054, ControlKind::kCheck},     {1061, ControlKind::kCheck},     {1062, ControlKind::kCheck},
    {1063, ControlKind::kCheck},     {1071, ControlKind::kCheck},     {1072, ControlKind::kCheck},
    {1057, ControlKind::kCheck},     {1058, ControlKind::kCheck},     {1080, ControlKind::kEdit, 7},
    {1081, ControlKind::kEdit, 255}, {1082, ControlKind::kEdit, 255}, {1084, ControlKind::kEdit, kRegistrationRoom}};

std::string CaptureCheck(const Form& form) {
  // A loaded row with a word the page does not know leaves its group clear.
  for (const ButtonGroup& group : kCaptureGroups) {
    if (form.FirstChecked(group.first, group.count) < 0) return "種類と形式を選んで下さい";
  }
  if (form.Text(1080).empty()) return "記録時間を入力ください";
  if (form.Text(1081).empty()) return "保存ファイル名を入力ください";
  return "";
}

settings::Record CaptureToCells(const Form& form) {
  settings::Record cells;
  for (const ButtonGroup& group : kCaptureGroups) {
    cells.emplace_back(Word(group.words, form.FirstChecked(group.first, group.count)));
  }
  for (const std::string& text : TextsToCells(form, {1080, 1081, 1082})) cells.push_back(text);
  return cells;
}

Form CaptureFromCells(const settings::Record& cells) {
  Form form;
  size_t i = 0;
  for (const ButtonGroup& group : kCaptureGroups) {
    form.CheckOnly(group.first, group.count, WordPosition(group.words.first(static_cast<size_t>(group.count)),
                                                          Cell(cells, i++)));
  }
  CellsToTexts({Cell(cells, 4), Cell(cells, 5), Cell(cells, 6)}, {1080, 1081, 1082}, form);
  return form;
}

Form CaptureInitial() {
  Form form;
  // At creation every capture control is usable, whatever the kind.
  for (const ButtonGroup& group : kCaptureGroups) form.CheckOnly(group.first, group.count, 0);
  return form;
}

}  // namespace

void ApplyCommandOperation(int operation, Form& form) { form.enabled[kFile] = operation == 4 || operation == 5; }

void ApplyCaptureKind(int kind, Form& form) {
  bool sound = kind == settings::kSound;
  form.Enable(1061, 3, !sound);
  form.Enable(1071, 2, kind == settings::kStillImage || kind == settings::kScreen);
  form.Enable(1057, 2, sound);
  form.enabled[1080] = kind == settings::kVideo || sound;
}

PageDef CommandPageDef() {
  return {PageId::kCommand, 137, "コマンド実行設定", "cmdsnd.bin", 300, 1082, NumberColumn::kAsTyped,
          "登録番号が間違っています(300-399まで)", kCommandColumns, kCommandControls,
          CommandCheck, CommandToCells, CommandFromCells, CommandInitial};
}

PageDef FtpPageDef() {
  return {PageId::kFtp, 138, "FTP送信", "ftpsnd.bin", 400, 1085, NumberColumn::kAsTyped,
          "登録番号が間違っています(400-499まで)", kFtpColumns, kFtpControls,
          FtpCheck, FtpToCells, FtpFromCells, NoInitial};
}

PageDef CapturePageDef() {
  return {PageId::kCapture, 149, "キャプチャー保存", "capsnd.bin", 600, 1084, NumberColumn::kKeep,
          "登録番号が間違っています(600-699まで)", kCaptureColumns, kCaptureControls,
          CaptureCheck, CaptureToCells, CaptureFromCells, CaptureInitial};
}

}  // namespace halvik::editor
