// The single-record dialogs: mail server, mail direct action, net direct
// action. Each opening reads its file afresh; "設定の登録" checks, writes the
// whole record and closes; Esc closes without saving.
#include "editor/editor_win.h"
#include "editor/record_dialog.h"

namespace halvik::editor {
namespace {

INT_PTR CALLBACK RecordProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* dialog = reinterpret_cast<const RecordDialogDef*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    dialog = reinterpret_cast<const RecordDialogDef*>(lParam);
    settings::Record record;
    if (settings::ReadRecordFile(Editor().folder, settings::ShapeOf(dialog->file), record) == 0) {
      WriteForm(hwnd, FormFromRecord(*dialog, record));
      if (dialog->id == RecordDialogId::kMailServer) Editor().mailAccount = record;
    }
    return TRUE;
  }
  if (message != WM_COMMAND || dialog == nullptr) return FALSE;
  if (LOWORD(wParam) == IDCANCEL) {
    EndDialog(hwnd, IDCANCEL);
  } else if (LOWORD(wParam) == IDOK) {
    Form form;
    for (const RecordField& field : dialog->fields) {
      form.text[field.control] = ControlText(hwnd, field.control, kRecordFieldRoom);
    }
    settings::Record record;
    std::string problem = RecordFromForm(*dialog, form, record);
    if (problem.empty() && settings::WriteRecordFile(Editor().folder, settings::ShapeOf(dialog->file), record) != 0) {
      problem = kSaveFailed;
    }
    if (!problem.empty()) {
      ShowMessage(problem);
      return TRUE;
    }
    if (dialog->id == RecordDialogId::kMailServer) Editor().mailAccount = record;
    EndDialog(hwnd, IDOK);
  }
  return TRUE;
}

}  // namespace

void RunRecordDialog(HWND owner, RecordDialogId id) {
  const RecordDialogDef& dialog = RecordDialog(id);
  DialogBoxParamW(Editor().instance, MAKEINTRESOURCEW(dialog.dialogId), owner, RecordProc,
                  reinterpret_cast<LPARAM>(&dialog));
}

void LoadMailAccount() {
  settings::Record record;
  if (settings::ReadRecordFile(Editor().folder, settings::ShapeOf("setmail.bin"), record) == 0) {
    Editor().mailAccount = record;
  }
}

}  // namespace halvik::editor
