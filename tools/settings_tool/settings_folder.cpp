#include "tools/settings_tool/settings_folder.h"

#include <cstdio>

#include "settings/file_io.h"
#include "settings/password.h"
#include "tools/settings_tool/codec.h"
#include "tools/settings_tool/fields.h"
#include "tools/settings_tool/json.h"

namespace halvik::tools {

using settings::FileShape;
using settings::Layout;
using settings::Record;
using settings::Slots;

namespace {

size_t MaxFieldBytes(const FileShape& shape, int field) { return field == shape.wideField ? 0xFFFF : 0xFF; }

size_t FieldsSize(const FileShape& shape, const Record& record) {
  size_t size = 0;
  for (int f = 0; f < shape.fields; ++f) {
    size_t length = f < static_cast<int>(record.size()) ? record[static_cast<size_t>(f)].size() : 0;
    size += length + (f == shape.wideField ? 3 : 2);
  }
  return size;
}

std::string Hex(char32_t cp) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(cp));
  return text;
}

// ---- export

class Exporter {
 public:
  Exporter(ExportOptions options, std::vector<std::string>& errors) : options_(options), errors_(errors) {}

  std::string Fields(const FileShape& shape, int slot, const Record& record) {
    std::string out = "[";
    for (int f = 0; f < shape.fields; ++f) {
      std::string cp932 = f < static_cast<int>(record.size()) ? record[static_cast<size_t>(f)] : "";
      if (options_.decodePasswords && f == PasswordField(shape) && !cp932.empty()) {
        std::string plain = settings::DecodePassword(cp932);
        if (settings::EncodePassword(plain) != cp932) {
          errors_.push_back(Where(shape, slot, f + 1) +
                            ": the stored password is not as the editor enciphers it; export it without "
                            "--decode-passwords");
        }
        cp932 = plain;
      }
      std::string utf8;
      size_t badAt = 0;
      if (!Utf8FromCp932(cp932, utf8, &badAt)) {
        errors_.push_back(Where(shape, slot, f + 1) + ": byte " + std::to_string(badAt) +
                          " is not CP932 text, so the field cannot be exported exactly");
      } else if (!Cp932RoundTrips(cp932)) {
        errors_.push_back(Where(shape, slot, f + 1) +
                          ": holds a second code of a CP932 character (no editor writes it), so the field "
                          "cannot be exported exactly");
      }
      if (f) out += ", ";
      out += JsonQuote(utf8);
    }
    return out + "]";
  }

 private:
  ExportOptions options_;
  std::vector<std::string>& errors_;
};

// ---- import

class Importer {
 public:
  explicit Importer(std::vector<std::string>& errors) : errors_(errors) {}

  void Document(const JsonValue& doc, SettingsFolder& plan) {
    if (doc.kind != JsonValue::Kind::kObject) {
      Error(std::string("the document is ") + JsonKindName(doc.kind) + ", not an object of settings files");
      return;
    }
    for (const auto& [key, value] : doc.members) {
      if (key != "passwords") continue;
      if (value.kind == JsonValue::Kind::kString && (value.text == "encoded" || value.text == "plain")) {
        plainPasswords_ = value.text == "plain";
      } else {
        Error("\"passwords\" is \"encoded\" or \"plain\"");
      }
    }
    for (const auto& [key, value] : doc.members) {
      if (key == "passwords") continue;
      const FileShape* shape = settings::FindFileShape(key);
      if (!shape) {
        Error("\"" + key + "\" is not the name of a settings file");
      } else if (shape->layout == Layout::kSlots) {
        SlotFile(*shape, value, plan);
      } else {
        RecordFile(*shape, value, plan);
      }
    }
  }

 private:
  void Error(const std::string& e) { errors_.push_back(e); }

  // One field string into its stored CP932 text; false when it cannot be stored.
  bool Field(const FileShape& shape, int slot, int f, const JsonValue& value, std::string& stored) {
    std::string where = Where(shape, slot, f + 1);
    if (value.kind != JsonValue::Kind::kString) {
      Error(where + ": is " + JsonKindName(value.kind) + ", not a string");
      return false;
    }
    if (value.text.find('\0') != std::string::npos) {
      Error(where + ": holds a zero character, which ends a field");
      return false;
    }
    char32_t bad = 0;
    if (!Cp932FromUtf8(value.text, stored, &bad)) {
      std::string hint;
      if (char32_t alike = Cp932LookAlike(bad)) {
        hint = "; write " + Hex(alike) + " (";
        AppendUtf8(alike, hint);
        hint += ") instead";
      }
      Error(where + ": the character " + Hex(bad) + " cannot be written in CP932" + hint);
      return false;
    }
    if (plainPasswords_ && f == PasswordField(shape) && !stored.empty()) {
      if (stored.size() > settings::kMaxPasswordBytes) {
        Error(where + ": a password of " + std::to_string(stored.size()) + " bytes; at most " +
              std::to_string(settings::kMaxPasswordBytes) + " can be stored");
        return false;
      }
      stored = settings::EncodePassword(stored);
    }
    if (stored.size() > MaxFieldBytes(shape, f)) {
      Error(where + ": " + std::to_string(stored.size()) + " bytes in CP932; a field holds at most " +
            std::to_string(MaxFieldBytes(shape, f)));
      return false;
    }
    return true;
  }

  bool Fields(const FileShape& shape, int slot, const JsonValue& value, Record& record) {
    std::string where = Where(shape, slot, 0);
    if (value.kind != JsonValue::Kind::kArray) {
      Error(where + ": is " + JsonKindName(value.kind) + ", not an array of " + std::to_string(shape.fields) +
            " fields");
      return false;
    }
    if (value.items.size() != static_cast<size_t>(shape.fields)) {
      Error(where + ": has " + std::to_string(value.items.size()) + " fields; the file's records have " +
            std::to_string(shape.fields));
      return false;
    }
    bool ok = true;
    record.assign(static_cast<size_t>(shape.fields), "");
    for (int f = 0; f < shape.fields; ++f) {
      ok = Field(shape, slot, f, value.items[static_cast<size_t>(f)], record[static_cast<size_t>(f)]) && ok;
    }
    return ok;
  }

  static int SlotOfKey(const FileShape& shape, const std::string& key) {
    for (int slot = 0; slot < settings::kSlotCount; ++slot) {
      if (key == settings::RegistrationText(shape.base + slot)) return slot;
    }
    return -1;
  }

  void SlotFile(const FileShape& shape, const JsonValue& value, SettingsFolder& plan) {
    if (value.kind != JsonValue::Kind::kObject) {
      Error(std::string(shape.name) + ": is " + JsonKindName(value.kind) +
            ", not an object of registration numbers");
      return;
    }
    Slots slots;
    bool ok = true;
    for (const auto& [key, fields] : value.members) {
      int slot = SlotOfKey(shape, key);
      if (slot < 0) {
        Error(std::string(shape.name) + ": \"" + key + "\" is not one of its registration numbers (" +
              settings::RegistrationText(shape.base) + " to " + settings::RegistrationText(shape.base + 99) + ")");
        ok = false;
        continue;
      }
      Record record;
      if (!Fields(shape, slot, fields, record)) {
        ok = false;
        continue;
      }
      if (record[0].empty()) {
        Error(Where(shape, slot, 1) + ": is empty; the slot would be stored empty and its other fields lost");
        ok = false;
        continue;
      }
      slots[static_cast<size_t>(slot)] = std::move(record);
    }
    if (!ok) return;
    size_t size = SlotImageSize(shape, slots);
    if (size > shape.largestSize) {
      Error(std::string(shape.name) + ": would take " + std::to_string(size) + " bytes; the file holds at most " +
            std::to_string(shape.largestSize));
      return;
    }
    plan.slots[shape.name] = std::move(slots);
  }

  void RecordFile(const FileShape& shape, const JsonValue& value, SettingsFolder& plan) {
    Record record;
    if (!Fields(shape, -1, value, record)) return;
    size_t size = RecordImageSize(shape, record);
    if (size > shape.largestSize) {
      Error(std::string(shape.name) + ": would take " + std::to_string(size) + " bytes; the file holds at most " +
            std::to_string(shape.largestSize));
      return;
    }
    plan.records[shape.name] = std::move(record);
  }

  std::vector<std::string>& errors_;
  bool plainPasswords_ = false;
};

}  // namespace

std::string FolderPath(std::string_view folder) {
  std::string path(folder);
  if (path.empty()) return "./";
  if (path.back() != '/' && path.back() != '\\') path += '/';
  return path;
}

std::string Where(const FileShape& shape, int slot, int field) {
  std::string where = shape.name;
  if (shape.layout == Layout::kSlots && slot >= 0) {
    where += ' ';
    where += settings::RegistrationText(shape.base + slot);
  }
  if (field > 0) where += " field " + std::to_string(field);
  return where;
}

size_t SlotImageSize(const FileShape& shape, const Slots& slots) {
  size_t size = settings::kHeaderSize;
  for (const Record& record : slots) size += settings::SlotIsFilled(record) ? FieldsSize(shape, record) : 1;
  return size;
}

size_t RecordImageSize(const FileShape& shape, const Record& record) {
  return settings::kHeaderSize + FieldsSize(shape, record);
}

int ReadSettingsFolder(const std::string& folder, SettingsFolder& contents, std::vector<std::string>& notes) {
  int found = 0;
  for (const FileShape& shape : settings::AllFileShapes()) {
    std::vector<uint8_t> bytes;
    // One byte past the largest size tells a file that is too long.
    if (settings::ReadFileAtMost(folder + shape.name, shape.largestSize + 1, bytes) != 0) continue;
    ++found;
    bool tooLong = bytes.size() > shape.largestSize;
    if (tooLong) bytes.resize(shape.largestSize);
    std::vector<uint8_t> rebuilt;
    bool built;
    if (shape.layout == Layout::kSlots) {
      Slots slots = settings::ParseSlotImage(shape, bytes);
      built = settings::BuildSlotImage(shape, slots, rebuilt);
      contents.slots[shape.name] = std::move(slots);
    } else {
      Record record = settings::ParseRecordImage(shape, bytes);
      built = settings::BuildRecordImage(shape, record, rebuilt);
      contents.records[shape.name] = std::move(record);
    }
    if (tooLong) {
      notes.push_back(std::string(shape.name) + ": longer than " + std::to_string(shape.largestSize) +
                      " bytes; nothing past that is ever read");
    } else if (!built || rebuilt != bytes) {
      notes.push_back(std::string(shape.name) +
                      ": not laid out as the editor writes it (header, stale bytes or field ends); it reads as "
                      "shown and is written anew in the editor's layout");
    }
  }
  return found ? 0 : -1;
}

bool ExportJson(const SettingsFolder& contents, ExportOptions options, std::string& json,
                std::vector<std::string>& errors) {
  Exporter exporter(options, errors);
  size_t errorsBefore = errors.size();
  std::string out = "{\n  \"passwords\": ";
  out += options.decodePasswords ? "\"plain\"" : "\"encoded\"";
  for (const FileShape& shape : settings::AllFileShapes()) {
    if (shape.layout == Layout::kSlots) {
      auto it = contents.slots.find(shape.name);
      if (it == contents.slots.end()) continue;
      out += ",\n  " + JsonQuote(shape.name) + ": {";
      bool first = true;
      for (int slot = 0; slot < settings::kSlotCount; ++slot) {
        const Record& record = it->second[static_cast<size_t>(slot)];
        if (!settings::SlotIsFilled(record)) continue;
        out += first ? "\n" : ",\n";
        first = false;
        out += "    " + JsonQuote(settings::RegistrationText(shape.base + slot)) + ": " +
               exporter.Fields(shape, slot, record);
      }
      out += first ? "}" : "\n  }";
    } else {
      auto it = contents.records.find(shape.name);
      if (it == contents.records.end()) continue;
      out += ",\n  " + JsonQuote(shape.name) + ": " + exporter.Fields(shape, -1, it->second);
    }
  }
  out += "\n}\n";
  if (errors.size() != errorsBefore) return false;
  json = std::move(out);
  return true;
}

bool PlanImport(std::string_view json, SettingsFolder& plan, std::vector<std::string>& errors) {
  JsonValue doc;
  std::string error;
  if (!ParseJson(json, doc, error)) {
    errors.push_back("not valid JSON: " + error);
    return false;
  }
  size_t errorsBefore = errors.size();
  SettingsFolder planned;
  Importer(errors).Document(doc, planned);
  if (errors.size() != errorsBefore) return false;
  plan = std::move(planned);
  return true;
}

int WritePlan(const std::string& folder, const SettingsFolder& plan, std::string& error) {
  for (const FileShape& shape : settings::AllFileShapes()) {
    int status = 0;
    if (auto s = plan.slots.find(shape.name); s != plan.slots.end()) {
      status = settings::WriteSlotFile(folder, shape, s->second);
    } else if (auto r = plan.records.find(shape.name); r != plan.records.end()) {
      status = settings::WriteRecordFile(folder, shape, r->second);
    } else {
      continue;
    }
    if (status != 0) {
      error = std::string("cannot write ") + shape.name + " in " + folder;
      return -1;
    }
  }
  return 0;
}

}  // namespace halvik::tools
