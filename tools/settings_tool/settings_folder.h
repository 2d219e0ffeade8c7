// A settings folder as one JSON document, for `export` and `import`.
//
// The document is one object with one key per settings file present in the
// folder, in the order the engine loads them, and a "passwords" key first:
//
//   {
//     "passwords": "encoded",
//     "setio.bin": {
//       "000": ["○", "401", "210/5,801", "朝の照明"],
//       "001": ["Ｘ", "300", "301", "休日は使わない"]
//     },
//     "setmail.bin": ["pop.example.jp", "smtp.example.jp", "taro", "8F3C...", "山田太郎", "60"],
//     ...
//   }
//
// - A slot file is an object whose keys are the registration numbers of its
//   filled slots ("%3.3d": "000".."099" for rules, "237" for slot 37 of
//   mailsnd.bin) and whose values are arrays of exactly as many field strings
//   as the file has fields. Empty slots are left out; a file present with no
//   filled slot is {}. The first field of a slot may not be empty (the slot
//   would be stored empty and its other fields lost).
// - A single-record file is an array of its field strings.
// - Strings are UTF-8; they are stored as CP932.
// - "passwords" is "encoded" (the stored hexadecimal texts, as in the files)
//   or "plain" (`export --decode-passwords`; `import` enciphers them again,
//   an empty password staying an empty field). Import takes "encoded" when
//   the key is absent.
// - Import writes only the files the document names and leaves the others.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "settings/slot_file.h"

namespace halvik::tools {

// The files of one folder: only those present (or to be written).
struct SettingsFolder {
  std::map<std::string, settings::Slots> slots;
  std::map<std::string, settings::Record> records;
};

// folder with a trailing separator, as the store wants it.
std::string FolderPath(std::string_view folder);

// Reads every settings file present in folder. notes gets a line for each
// file not laid out as the editor writes it (export then import writes it in
// the editor's layout; the engine reads both alike). -1 when folder cannot be
// read at all.
[[nodiscard]] int ReadSettingsFolder(const std::string& folder, SettingsFolder& contents,
                                     std::vector<std::string>& notes);

// "setio.bin 003 field 3" / "setmail.bin field 4" (field counted from 1; 0 = none).
std::string Where(const settings::FileShape& shape, int slot, int field);

struct ExportOptions {
  bool decodePasswords = false;
};

// false (json untouched) when a field cannot be written as UTF-8 exactly;
// errors say which.
[[nodiscard]] bool ExportJson(const SettingsFolder& contents, ExportOptions options, std::string& json,
                              std::vector<std::string>& errors);

// Parses and checks a whole document; false with every problem in errors.
// On true, plan holds the files to write, passwords enciphered.
[[nodiscard]] bool PlanImport(std::string_view json, SettingsFolder& plan, std::vector<std::string>& errors);

// Writes the planned files through the store's atomic replacement. Every
// image has been built before the first write, so the only failure left is
// the disk's; error names the file.
[[nodiscard]] int WritePlan(const std::string& folder, const SettingsFolder& plan, std::string& error);

// Size of the file the store would write for these contents.
size_t SlotImageSize(const settings::FileShape& shape, const settings::Slots& slots);
size_t RecordImageSize(const settings::FileShape& shape, const settings::Record& record);

}  // namespace halvik::tools
