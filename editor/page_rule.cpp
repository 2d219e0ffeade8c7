// The rule page: rules 000-099 of setio.bin, each an event number, an action
// list and a comment, enabled or not.
#include <cstdio>

#include "editor/page_defs.h"
#include "settings/action_list.h"
#include "settings/text_forms.h"

namespace halvik::editor {
namespace {

enum : int { kEvent = 1080, kActions = 1081, kComment = 1082, kNumber = 1083, kDisabled = 1140 };

constexpr Column kColumns[] = {
    {"番号", 10}, {"有効/無効", 20}, {"発生イベント番号", 70}, {"実行アクション番号", 150}, {"コ メ ン ト", 80}};

constexpr Control kControls[] = {
    {kEvent, ControlKind::kEdit, 7},    {kActions, ControlKind::kEdit, 63},
    {kComment, ControlKind::kEdit, 63}, {kNumber, ControlKind::kEdit, kRegistrationRoom},
    {kDisabled, ControlKind::kCheck},
};

std::string Check(const Form& form) {
  long event = NumberValue(form.Text(kEvent));
  if (event < 100 || event > 999) return "発生イベント番号が間違っています";
  const std::string& actions = form.Text(kActions);
  if (actions.empty()) return "実行アクション番号を指定下さい";
  std::vector<settings::ActionStep> steps;
  switch (settings::CheckActionList(actions, steps)) {
    case settings::ActionListStatus::kEmptyEntry: return "実行アクション番号欄に無効文字があります";
    case settings::ActionListStatus::kNoEntry: return "実行アクション番号欄の番号が間違っています";
    case settings::ActionListStatus::kBadNumber: return "実行アクション番号が間違っています";
    case settings::ActionListStatus::kValid: break;
  }
  for (const settings::ActionStep& step : steps) {
    if (step.action < 100 || step.action > 999) return "実行アクション番号が間違っています";
  }
  if (steps.size() > settings::kMaxRuleActions) {
    return "１つのルールの実行アクションは最大15個までです";
  }
  return "";
}

settings::Record ToCells(const Form& form) {
  char event[16];
  std::snprintf(event, sizeof event, "%3ld", NumberValue(form.Text(kEvent)));
  return {settings::MarkText(!form.Checked(kDisabled)), event, form.Text(kActions), form.Text(kComment)};
}

Form FromCells(const settings::Record& cells) {
  Form form;
  form.checked[kDisabled] = Cell(cells, 0).starts_with(settings::kMarkNo);
  CellsToTexts({Cell(cells, 1), Cell(cells, 2), Cell(cells, 3)}, {kEvent, kActions, kComment}, form);
  return form;
}

Form Initial() { return {}; }

}  // namespace

PageDef RulePageDef() {
  return {PageId::kRule, 139, "発生イベント対応実行アクション設定", "setio.bin", 0, kNumber,
          NumberColumn::kFormatted, "登録番号が間違っています(1-99まで)", kColumns, kControls,
          Check, ToCells, FromCells, Initial};
}

}  // namespace halvik::editor
