// The single-record dialogs of the editor: the mail server dialog
// (setmail.bin), the mail direct-action dialog (mailrcvd.bin) and the net
// direct-action dialog (netrcvd.bin). Each shows the fields of its record in
// edit boxes 1080.. in file order, refuses an empty field with its message,
// and on success writes the whole record.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "editor/page.h"
#include "settings/slot_file.h"

namespace halvik::editor {

struct RecordField {
  int control;
  std::string_view emptyMessage;
  bool password;  // stored enciphered, shown deciphered
};

enum class RecordDialogId { kMailServer, kMailDirect, kNetDirect };

struct RecordDialogDef {
  RecordDialogId id;
  int dialogId;
  const char* file;
  std::span<const RecordField> fields;
};

const RecordDialogDef& RecordDialog(RecordDialogId id);

// Every field is read with room for 255 bytes.
inline constexpr int kRecordFieldRoom = 255;

// The first failing check's message, or "" with record filled for the file.
std::string RecordFromForm(const RecordDialogDef& dialog, const Form& form, settings::Record& record);
// The fields to show for a stored record.
Form FormFromRecord(const RecordDialogDef& dialog, const settings::Record& record);

}  // namespace halvik::editor
