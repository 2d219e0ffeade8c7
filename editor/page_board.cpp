// The pages whose settings the board carries out: the learning page
// (rmtrcv.bin), the IR send page (rmtsnd.bin) and the power page
// (pwrsnd.bin); and the macro page's list (autsnd.bin).
#include "editor/page_defs.h"
#include "settings/words.h"

namespace halvik::editor {
namespace {

// --- learning and IR send pages ---
enum : int { kRemote = 1080, kButton = 1081, kFirst = 1082, kSecond = 1083, kNumber = 1084 };

constexpr Column kLearningColumns[] = {{"番号", 15}, {"リモコン名", 60}, {"ボタン名", 60}, {"データ", 200}};
constexpr Column kIrSendColumns[] = {{"番号", 10}, {"リモコン名", 80}, {"ボタン名", 80}, {"データ", 200}};

// The learning page keeps a signature of at most 160 bytes of code text cut
// to one field; the IR send page a full code of up to 1023 characters.
constexpr Control kLearningControls[] = {
    {kRemote, ControlKind::kEdit, 63},  {kButton, ControlKind::kEdit, 63},
    {kFirst, ControlKind::kEdit, 1023}, {kSecond, ControlKind::kEdit, 1023},
    {kNumber, ControlKind::kEdit, kRegistrationRoom}};

std::string LearningCheck(const Form& form) {
  if (form.Text(kFirst).substr(0, kCompareCharacters) != form.Text(kSecond).substr(0, kCompareCharacters)) {
    return "１回目と２回目の読み取り内容が違います";
  }
  if (form.Text(kFirst).empty()) return "読み取りを行って下さい";
  if (form.Text(kRemote).empty()) return "リモコン名を入れて下さい";
  if (form.Text(kButton).empty()) return "ボタン名を入れて下さい";
  return "";
}

std::string IrSendCheck(const Form& form) {
  if (form.Text(kFirst).empty()) return "読み取りを行って下さい";
  if (form.Text(kRemote).empty()) return "リモコン名を入力下さい";
  return "";
}

settings::Record LearningToCells(const Form& form) {
  return {form.Text(kRemote), form.Text(kButton), form.Text(kFirst).substr(0, 255)};
}

settings::Record IrSendToCells(const Form& form) {
  return {form.Text(kRemote), form.Text(kButton), form.Text(kFirst).substr(0, 1023)};
}

Form IrFromCells(const settings::Record& cells) {
  Form form;
  CellsToTexts({Cell(cells, 0), Cell(cells, 1), Cell(cells, 2), Cell(cells, 2)}, {kRemote, kButton, kFirst, kSecond},
               form);
  return form;
}

Form NoInitial() { return {}; }

// --- power page ---
enum : int { kFirstOperation = 1051, kOperations = 8, kFirstState = 1059, kStates = 3 };

constexpr Column kPowerColumns[] = {{"番号", 10}, {"操作", 120}, {"初期状態", 90}, {"コメント", 50}};
constexpr Control kPowerControls[] = {
    {1051, ControlKind::kCheck}, {1052, ControlKind::kCheck},     {1053, ControlKind::kCheck},
    {1054, ControlKind::kCheck}, {1055, ControlKind::kCheck},     {1056, ControlKind::kCheck},
    {1057, ControlKind::kCheck}, {1058, ControlKind::kCheck},     {1059, ControlKind::kCheck},
    {1060, ControlKind::kCheck}, {1061, ControlKind::kCheck},     {1081, ControlKind::kEdit, 63},
    {1082, ControlKind::kEdit, kRegistrationRoom}};

std::string PowerCheck(const Form& form) {
  // Only a loaded row with an unknown word leaves a group clear.
  if (form.FirstChecked(kFirstOperation, kOperations) < 0 || form.FirstChecked(kFirstState, kStates) < 0) {
    return "操作と初期状態を選んで下さい";
  }
  return "";
}

settings::Record PowerToCells(const Form& form) {
  return {std::string(Word(settings::kPowerOperationWords, form.FirstChecked(kFirstOperation, kOperations))),
          std::string(Word(settings::kPowerInitialStateWords, form.FirstChecked(kFirstState, kStates))),
          form.Text(1081)};
}

Form PowerFromCells(const settings::Record& cells) {
  Form form;
  form.CheckOnly(kFirstOperation, kOperations, WordPosition(settings::kPowerOperationWords, Cell(cells, 0)));
  form.CheckOnly(kFirstState, kStates, WordPosition(settings::kPowerInitialStateWords, Cell(cells, 1)));
  form.text[1081] = Cell(cells, 2);
  return form;
}

Form PowerInitial() {
  Form form;
  form.CheckOnly(kFirstOperation, kOperations, 0);
  form.CheckOnly(kFirstState, kStates, 0);
  return form;
}

// --- macro page: its list; recording and its fields belong to the macro code ---
constexpr Column kMacroColumns[] = {{"番号", 15},     {"アプリ起動", 50}, {"アプリ名", 50},
                                    {"ウインドウ切替", 50}, {"タイトル名", 50}, {"操作数", 50},
                                    {"開始時刻", 50}, {"コメント", 50}};

}  // namespace

PageDef LearningPageDef() {
  return {PageId::kLearning, 142, "リモコン受信設定", "rmtrcv.bin", 100, kNumber, NumberColumn::kKeep,
          "登録番号が間違っています(1-99まで)", kLearningColumns, kLearningControls,
          LearningCheck, LearningToCells, IrFromCells, NoInitial};
}

PageDef IrSendPageDef() {
  return {PageId::kIrSend, 143, "リモコン送信設定", "rmtsnd.bin", 100, kNumber, NumberColumn::kKeep,
          "登録番号が間違っています(1-99まで)", kIrSendColumns, kLearningControls,
          IrSendCheck, IrSendToCells, IrFromCells, NoInitial};
}

PageDef PowerPageDef() {
  return {PageId::kPower, 152, "電気製品のパワーオンオフ操作", "pwrsnd.bin", 800, 1082, NumberColumn::kAsTyped,
          "登録番号が間違っています(800-899まで)", kPowerColumns, kPowerControls,
          PowerCheck, PowerToCells, PowerFromCells, PowerInitial};
}

PageDef MacroPageDef() {
  return {PageId::kMacro, 146, "パソコン自動操作設定", "autsnd.bin", 500, 1085, NumberColumn::kKeep,
          "登録番号が間違っています(500-599まで)", kMacroColumns, {},
          nullptr, nullptr, nullptr, NoInitial};
}

}  // namespace halvik::editor
