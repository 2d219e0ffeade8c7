#include "tools/settings_tool/check.h"

#include <array>
#include <cstdio>
#include <span>

#include "settings/action_list.h"
#include "settings/catalogue.h"
#include "settings/password.h"
#include "settings/text_forms.h"
#include "settings/words.h"
#include "tools/settings_tool/codec.h"

namespace halvik::tools {

using settings::FileShape;
using settings::Record;
namespace s = settings;

namespace {

// How the engine reads a field.
enum class Form {
  kAny, kMark, kEventNumber, kActionList, kSignature, kIrCode, kKeptSender, kKeptSubject, kKeptNetSource, kKeptNetString,
  kDayKind, kWeekdays, kDayList, kClock, kNumber, kInterval, kConnection, kPort, kPassword, kYesNo,
  kPcWord, kCaptureWord, kImageSizeWord, kImageFormatWord, kSoundWord, kPowerWord, kInitialStateWord,
};

struct FileForms {
  const char* file;
  std::array<Form, 8> forms;
};

using F = Form;
constexpr FileForms kFileForms[] = {
    {"setio.bin", {F::kMark, F::kEventNumber, F::kActionList, F::kAny}},
    {"rmtrcv.bin", {F::kAny, F::kAny, F::kSignature}},
    {"mailrcv.bin", {F::kKeptSender, F::kKeptSubject, F::kAny}},
    {"timrcv.bin", {F::kDayKind, F::kWeekdays, F::kDayList, F::kClock, F::kAny}},
    {"intrcv.bin", {F::kDayKind, F::kWeekdays, F::kDayList, F::kClock, F::kClock, F::kInterval, F::kAny}},
    {"netrcv.bin", {F::kConnection, F::kKeptNetSource, F::kPort, F::kKeptNetString, F::kAny}},
    {"rmtsnd.bin", {F::kAny, F::kAny, F::kIrCode}},
    {"mailsnd.bin", {F::kAny, F::kAny, F::kAny}},
    {"cmdsnd.bin", {F::kPcWord, F::kAny, F::kAny}},
    {"ftpsnd.bin", {F::kAny, F::kAny, F::kPassword, F::kAny, F::kAny, F::kYesNo, F::kYesNo, F::kYesNo}},
    {"autsnd.bin", {F::kMark, F::kAny, F::kMark, F::kAny, F::kNumber, F::kNumber, F::kAny}},
    {"capsnd.bin", {F::kCaptureWord, F::kImageSizeWord, F::kImageFormatWord, F::kSoundWord, F::kNumber, F::kAny, F::kAny}},
    {"netsnd.bin", {F::kConnection, F::kAny, F::kPort, F::kAny, F::kAny}},
    {"pwrsnd.bin", {F::kPowerWord, F::kInitialStateWord, F::kAny}},
    {"setmail.bin", {F::kAny, F::kAny, F::kAny, F::kPassword, F::kAny, F::kAny}},
    {"mailrcvd.bin", {F::kAny, F::kAny}},
    {"netrcvd.bin", {F::kAny, F::kAny}},
};

struct WordTable {
  Form form;
  const char* name;
  std::span<const std::string_view> words;
};

const WordTable kWordTables[] = {
    {F::kPcWord, "PC control", s::kPcControlWords},
    {F::kCaptureWord, "capture kind", s::kCaptureKindWords},
    {F::kImageSizeWord, "image size", s::kImageSizeWords},
    {F::kImageFormatWord, "image format", s::kImageFormatWords},
    {F::kSoundWord, "sound format", s::kSoundFormatWords},
    {F::kPowerWord, "power operation", s::kPowerOperationWords},
    {F::kInitialStateWord, "power initial state", s::kPowerInitialStateWords},
    {F::kDayKind, "day kind", s::kDayKindWords},
};

struct KeptLength {
  Form form;
  size_t bytes;
};
constexpr KeptLength kKept[] = {
    {F::kKeptSender, s::kKeptMailSender}, {F::kKeptSubject, s::kKeptMailString}, {F::kKeptNetSource, s::kKeptNetSource}, {F::kKeptNetString, s::kKeptNetString}};

// Event and action categories by the hundreds digit of a number.
constexpr const char* kEventFiles[] = {nullptr, "rmtrcv.bin", "mailrcv.bin", "timrcv.bin", "intrcv.bin", "netrcv.bin"};
constexpr const char* kActionFiles[] = {nullptr,       "rmtsnd.bin", "mailsnd.bin", "cmdsnd.bin", "ftpsnd.bin",
                                        "autsnd.bin", "capsnd.bin", "netsnd.bin",  "pwrsnd.bin"};

// A field's text as the message shows it: quoted UTF-8.
std::string Q(std::string_view cp932) {
  std::string q = "\"";
  q += ShownUtf8FromCp932(cp932);
  q += '"';
  return q;
}

std::string Clock(const s::ClockTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", t.hour, t.minute);
  return text;
}

std::string_view FieldOf(const Record& r, int f) {
  return f < static_cast<int>(r.size()) ? std::string_view(r[static_cast<size_t>(f)]) : std::string_view();
}

class Checker {
 public:
  explicit Checker(const SettingsFolder& folder) : folder_(folder) {}

  std::vector<Finding> Run() {
    for (const FileShape& shape : s::AllFileShapes()) {
      const FileForms* forms = FormsOf(shape);
      if (!forms) continue;
      if (shape.layout == s::Layout::kSlots) {
        auto it = folder_.slots.find(shape.name);
        if (it == folder_.slots.end()) continue;
        for (int slot = 0; slot < s::kSlotCount; ++slot) {
          const Record& r = it->second[static_cast<size_t>(slot)];
          if (s::SlotIsFilled(r)) CheckRecord(shape, *forms, shape.base + slot, r);
        }
      } else if (auto it = folder_.records.find(shape.name); it != folder_.records.end()) {
        CheckRecord(shape, *forms, -1, it->second);
      }
    }
    return std::move(findings_);
  }

 private:
  static const FileForms* FormsOf(const FileShape& shape) {
    for (const FileForms& f : kFileForms) {
      if (std::string_view(f.file) == shape.name) return &f;
    }
    return nullptr;
  }

  void Add(int field, std::string message) {
    findings_.push_back({file_, number_, field, std::move(message)});
  }

  bool IsRegistered(const char* const* files, size_t fileCount, long number, const char*& file) const {
    long category = number / 100;
    file = category >= 1 && static_cast<size_t>(category) < fileCount ? files[category] : nullptr;
    if (!file) return false;
    auto it = folder_.slots.find(file);
    return it != folder_.slots.end() && s::SlotIsFilled(it->second[static_cast<size_t>(number % 100)]);
  }

  void CheckEventNumber(int field, std::string_view text) {
    if (!s::IsNumberText(text)) {
      Add(field, "not a number: " + Q(text) + " reads as " + std::to_string(s::ReadNumber(text)));
      return;
    }
    long number = s::ReadNumber(text);
    const char* file = nullptr;
    if (IsRegistered(kEventFiles, std::size(kEventFiles), number, file)) return;
    if (!file) {
      Add(field, "event " + std::to_string(number) + " is in no event category (100-599)");
    } else {
      Add(field, "event " + std::to_string(number) + " is not registered (its slot of " + file + " is empty)");
    }
  }

  void CheckActionList(int field, std::string_view text) {
    std::vector<s::ActionStep> steps;
    if (!s::ParseActionList(text, steps)) {
      Add(field, "the engine refuses the action list " + Q(text));
      return;
    }
    size_t stop = text.find_first_not_of("0123456789/, ");
    if (stop != std::string_view::npos) {
      Add(field, "the engine stops reading the action list at " + Q(text.substr(stop)) + " and runs " +
                     std::to_string(steps.size()) + " action(s)");
    }
    if (steps.size() > s::kMaxRuleActions) {
      Add(field, std::to_string(steps.size()) + " actions; the engine runs the first " +
                     std::to_string(s::kMaxRuleActions));
    }
    for (const s::ActionStep& step : steps) {
      const char* file = nullptr;
      if (IsRegistered(kActionFiles, std::size(kActionFiles), step.action, file)) continue;
      if (!file) {
        Add(field, "action " + std::to_string(step.action) + " is in no action category (100-899)");
      } else {
        Add(field, "action " + std::to_string(step.action) + " is not registered (its slot of " + file +
                       " is empty)");
      }
    }
  }

  void CheckNumber(int field, std::string_view text) {
    if (!s::IsNumberText(text)) {
      Add(field, "not a number: " + Q(text) + " reads as " +
                     std::to_string(s::ReadNumber(text)));
    }
  }

  void CheckField(Form form, int field, std::string_view text) {
    for (const WordTable& t : kWordTables) {
      if (t.form == form && s::ReadTableWord(text, t.words) == static_cast<int>(t.words.size())) {
        std::string tail = form == F::kDayKind ? "; it reads as " + Q(s::kDayKindWords[static_cast<size_t>(
                                                                         s::ReadDayKind(text))])
                                               : "; the action does nothing";
        Add(field, Q(text) + " is not in the " + t.name + " table" + tail);
        return;
      }
    }
    for (const KeptLength& k : kKept) {
      if (k.form == form && text.size() > k.bytes) {
        Add(field, std::to_string(text.size()) + " bytes; the engine keeps the first " + std::to_string(k.bytes) +
                       ": " + Q(s::CutCp932(text, k.bytes)));
      }
    }
    switch (form) {
      case F::kMark:
        if (text != s::kMarkYes && text != s::kMarkNo) {
          Add(field, "not a mark (" + Q(s::kMarkYes) + " or " + Q(s::kMarkNo) + "): " + Q(text) + " reads as " +
                         Q(s::MarkText(s::ReadMark(text))));
        }
        break;
      case F::kYesNo:
        if (text != "Y" && text != "N") {
          Add(field, "not Y or N: " + Q(text) + " reads as " + (s::ReadYesNo(text) ? "Y" : "N"));
        }
        break;
      case F::kConnection:
        if (text != s::kConnect && text != s::kWait) {
          Add(field, "not " + Q(s::kConnect) + " or " + Q(s::kWait) + ": " + Q(text) + " reads as " + Q(s::kWait));
        }
        break;
      case F::kEventNumber: CheckEventNumber(field, text); break;
      case F::kActionList: CheckActionList(field, text); break;
      case F::kNumber: CheckNumber(field, text); break;
      case F::kInterval:
        CheckNumber(field, text);
        if (s::ReadNumber(text) == 0) {
          Add(field, "interval " + Q(text) + " reads as 0 seconds: the engine starts no timer for it");
        }
        break;
      case F::kPort:
        if (!s::IsNumberText(text) || s::ReadNumber(text) < 1 || s::ReadNumber(text) > 65535) {
          Add(field, "not a port (1-65535): " + Q(text) + " reads as " + std::to_string(s::ReadNumber(text)));
        }
        break;
      case F::kClock:
        if (!s::IsClockTimeText(text)) {
          Add(field, "not a clock time as the editor writes it (" + ShownUtf8FromCp932(s::ClockTimeText(0, 0)) + "): " + Q(text) + " reads as " +
                         Clock(s::ReadClockTime(text)));
        }
        break;
      case F::kWeekdays:
        if (!s::IsWeekdaysText(text)) {
          Add(field, "not weekdays as the editor writes them: " + Q(text) + " reads as " +
                         Q(s::WeekdaysText(s::ReadWeekdays(text))));
        }
        break;
      case F::kDayList:
        if (!s::IsDayListText(text)) {
          Add(field, "not a day list as the editor writes it (01,15,31): " + Q(text) + " reads as " +
                         Q(s::DayListText(s::ReadDayList(text))));
        }
        break;
      case F::kSignature:
        if (!s::IsCodeText(text)) {
          Add(field, "not code text (\"%2.2X-\" a byte): " + Q(text.substr(0, 48)));
        } else if (text.size() / 3 < s::kSignatureBytes) {
          Add(field, "a signature of " + std::to_string(text.size() / 3) + " bytes; the engine compares " +
                         std::to_string(s::kSignatureBytes));
        }
        break;
      case F::kIrCode:
        if (!s::IsCodeText(text)) {
          Add(field, "not code text (\"%2.2X-\" a byte): " + Q(text.substr(0, 48)));
        } else if (text.size() / 3 > s::kIrSendBytes) {
          Add(field, "an IR code of " + std::to_string(text.size() / 3) + " bytes; the engine sends the first " +
                         std::to_string(s::kIrSendBytes));
        }
        break;
      case F::kPassword:
        if (!text.empty() && s::EncodePassword(s::DecodePassword(text)) != text) {
          Add(field, "not a stored password (upper-case hexadecimal, 16 characters a block, as the editor "
                     "enciphers it)");
        }
        break;
      default: break;
    }
  }

  // What one field means depends on another.
  void CheckTogether(const FileShape& shape, const Record& r) {
    std::string_view name = shape.name;
    if (name == "timrcv.bin" || name == "intrcv.bin") {
      s::DayKind kind = s::ReadDayKind(FieldOf(r, 0));
      if (kind == s::DayKind::kWeekdays && s::ReadWeekdays(FieldOf(r, 1)).none()) {
        Add(2, "no weekday chosen for " + Q(s::kDayKindWords[1]) + ": the event never occurs");
      }
      if (kind == s::DayKind::kDaysOfMonth && s::ReadDayList(FieldOf(r, 2)).none()) {
        Add(3, "no day chosen for " + Q(s::kDayKindWords[2]) + ": the event never occurs");
      }
    }
    if (name == "intrcv.bin") {
      s::ClockTime start = s::ReadClockTime(FieldOf(r, 3)), end = s::ReadClockTime(FieldOf(r, 4));
      if (end.Minutes() < start.Minutes()) {
        Add(5, "the daily window " + Clock(start) + "-" + Clock(end) + " ends before it starts: it never opens");
      }
    }
    if (name == "cmdsnd.bin") {
      int kind = s::ReadTableWord(FieldOf(r, 0), s::kPcControlWords);
      if ((kind == s::kOpenFile || kind == s::kPlayMedia) && FieldOf(r, 1).empty()) {
        Add(2, "no file to open for " + Q(FieldOf(r, 0)));
      }
    }
  }

  void CheckRecord(const FileShape& shape, const FileForms& forms, int number, const Record& r) {
    file_ = shape.name;
    number_ = number;
    for (int f = 0; f < shape.fields; ++f) {
      std::string_view text = FieldOf(r, f);
      std::string ignored;
      size_t badAt = 0;
      if (!Utf8FromCp932(text, ignored, &badAt)) {
        Add(f + 1, "byte " + std::to_string(badAt) + " is not CP932 text: " + Q(text));
        continue;
      }
      CheckField(forms.forms[static_cast<size_t>(f)], f + 1, text);
    }
    CheckTogether(shape, r);
  }

  const SettingsFolder& folder_;
  std::vector<Finding> findings_;
  std::string file_;
  int number_ = -1;
};

}  // namespace

std::string Finding::Line() const {
  std::string line = file;
  if (number >= 0) {
    line += ' ';
    line += s::RegistrationText(number);
  }
  if (field > 0) line += " field " + std::to_string(field);
  return line + ": " + message;
}

std::vector<Finding> CheckSettings(const SettingsFolder& folder) { return Checker(folder).Run(); }

}  // namespace halvik::tools
