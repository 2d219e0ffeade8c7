#include "tools/settings_tool/tool.h"

#include <cstdio>

#include "settings/file_io.h"
#include "settings/password.h"
#include "tools/settings_tool/check.h"
#include "tools/settings_tool/codec.h"
#include "tools/settings_tool/fields.h"
#include "tools/settings_tool/settings_folder.h"

namespace halvik::tools {
namespace {

using settings::FileShape;

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: halvik-settings show FILE [--decode-passwords]\n"
    "       halvik-settings export DIR [--decode-passwords]   (JSON on stdout)\n"
    "       halvik-settings import DIR                        (JSON on stdin)\n"
    "       halvik-settings check DIR\n";

int Error(ToolIo& io, const std::string& message) {
  io.err += "halvik-settings: " + message + "\n";
  return kExitError;
}

int Usage(ToolIo& io, const std::string& message) {
  io.err += "halvik-settings: " + message + "\n" + kUsage;
  return kExitUsage;
}

// A field for a line of `show`: UTF-8, control characters as \xNN.
std::string Shown(std::string_view cp932) {
  std::string out;
  for (char c : ShownUtf8FromCp932(cp932)) {
    if (static_cast<unsigned char>(c) < 0x20) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
      out += hex;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string BaseName(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

void ShowRecord(const FileShape& shape, const std::string& prefix, const settings::Record& record, bool decode,
                std::string& out) {
  auto headings = FieldHeadings(shape);
  for (int f = 0; f < shape.fields; ++f) {
    std::string text = f < static_cast<int>(record.size()) ? record[static_cast<size_t>(f)] : "";
    if (decode && f == PasswordField(shape) && !text.empty()) text = settings::DecodePassword(text);
    out += prefix + Shown(headings[static_cast<size_t>(f)]) + ": " + Shown(text) + "\n";
  }
}

int Show(const std::string& path, bool decode, ToolIo& io) {
  std::string name = BaseName(path);
  const FileShape* shape = settings::FindFileShape(name);
  if (!shape) {
    std::string names;
    for (const FileShape& s : settings::AllFileShapes()) names += std::string(names.empty() ? "" : ", ") + s.name;
    return Error(io, "\"" + name + "\" is not a settings file name (" + names + ")");
  }
  std::vector<uint8_t> bytes;
  if (settings::ReadFileAtMost(path, shape->largestSize, bytes) != 0) return Error(io, "cannot open " + path);
  std::string out;
  if (shape->layout == settings::Layout::kSingleRecord) {
    out += std::string(shape->name) + ": single record\n\n";
    ShowRecord(*shape, "", settings::ParseRecordImage(*shape, bytes), decode, out);
  } else {
    settings::Slots slots = settings::ParseSlotImage(*shape, bytes);
    int filled = 0;
    for (const settings::Record& r : slots) filled += settings::SlotIsFilled(r) ? 1 : 0;
    out += std::string(shape->name) + ": " + std::to_string(filled) + " of " + std::to_string(settings::kSlotCount) +
           " slots filled\n";
    for (int slot = 0; slot < settings::kSlotCount; ++slot) {
      if (!settings::SlotIsFilled(slots[static_cast<size_t>(slot)])) continue;
      out += "\n";
      ShowRecord(*shape, settings::RegistrationText(shape->base + slot) + " ", slots[static_cast<size_t>(slot)],
                 decode, out);
    }
  }
  io.out += out;
  return 0;
}

int ReadFolder(const std::string& folder, SettingsFolder& contents, ToolIo& io) {
  std::vector<std::string> notes;
  if (ReadSettingsFolder(folder, contents, notes) != 0) {
    Error(io, "no settings file in " + folder);
    return -1;
  }
  for (const std::string& note : notes) io.err += "halvik-settings: note: " + note + "\n";
  return 0;
}

int Export(const std::string& folder, bool decode, ToolIo& io) {
  SettingsFolder contents;
  if (ReadFolder(folder, contents, io) != 0) return kExitError;
  std::string json;
  std::vector<std::string> errors;
  if (!ExportJson(contents, ExportOptions{decode}, json, errors)) {
    for (const std::string& e : errors) Error(io, e);
    return Error(io, "nothing exported");
  }
  io.out += json;
  return 0;
}

int Import(const std::string& folder, ToolIo& io) {
  std::string json;
  if (!io.readInput || !io.readInput(json, kMaxImportBytes)) return Error(io, "cannot read standard input");
  if (json.size() > kMaxImportBytes) {
    return Error(io, "the document is larger than " + std::to_string(kMaxImportBytes) + " bytes; nothing written");
  }
  SettingsFolder plan;
  std::vector<std::string> errors;
  if (!PlanImport(json, plan, errors)) {
    for (const std::string& e : errors) Error(io, e);
    return Error(io, "nothing written");
  }
  std::string error;
  if (WritePlan(folder, plan, error) != 0) return Error(io, error);
  return 0;
}

int Check(const std::string& folder, ToolIo& io) {
  SettingsFolder contents;
  if (ReadFolder(folder, contents, io) != 0) return kExitError;
  std::vector<Finding> findings = CheckSettings(contents);
  for (const Finding& f : findings) io.out += f.Line() + "\n";
  return findings.empty() ? 0 : kExitError;
}

}  // namespace

int RunSettingsTool(const std::vector<std::string>& args, ToolIo& io) {
  if (args.empty()) return Usage(io, "no command");
  const std::string& command = args[0];
  std::vector<std::string> operands;
  bool decode = false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--decode-passwords") {
      decode = true;
    } else if (args[i].starts_with("--")) {
      return Usage(io, "unknown option " + args[i]);
    } else {
      operands.push_back(args[i]);
    }
  }
  bool known = command == "show" || command == "export" || command == "import" || command == "check";
  if (!known) return Usage(io, "unknown command " + command);
  if (operands.size() != 1) return Usage(io, command + " takes one " + (command == "show" ? "file" : "folder"));
  if (decode && command != "show" && command != "export") return Usage(io, "--decode-passwords is for show and export");
  if (command == "show") return Show(operands[0], decode, io);
  std::string folder = FolderPath(operands[0]);
  if (command == "export") return Export(folder, decode, io);
  if (command == "import") return Import(folder, io);
  return Check(folder, io);
}

}  // namespace halvik::tools
