#include "settings/catalogue.h"


#include "settings/password.h"
#include "settings/words.h"

namespace halvik::settings {
namespace {

std::string_view Field(const Record& r, size_t i) { return i < r.size() ? std::string_view(r[i]) : ""; }
std::string Text(const Record& r, size_t i) { return std::string(Field(r, i)); }

template <size_t N>
int Word(const Record& r, size_t i, const std::array<std::string_view, N>& table) {
  return ReadTableWord(Field(r, i), table);
}

}  // namespace

RuleSetting ReadRule(const Record& r) {
  return {ReadMark(Field(r, 0)), ReadNumber(Field(r, 1)), Text(r, 2), Text(r, 3)};
}

IrReceiveEvent ReadIrReceiveEvent(const Record& r) {
  IrReceiveEvent e;
  std::vector<uint8_t> bytes = ReadCodeText(Field(r, 2), kSignatureBytes);
  for (size_t i = 0; i < bytes.size(); ++i) e.signature[i] = bytes[i];
  return e;
}

MailReceiveEvent ReadMailReceiveEvent(const Record& r) {
  return {CutCp932(Field(r, 0), kKeptMailSender), CutCp932(Field(r, 1), kKeptMailString)};
}

TimeOfDayEvent ReadTimeOfDayEvent(const Record& r) {
  return {ReadDayKind(Field(r, 0)), ReadWeekdays(Field(r, 1)), ReadDayList(Field(r, 2)),
          ReadClockTime(Field(r, 3))};
}

IntervalEvent ReadIntervalEvent(const Record& r) {
  return {ReadDayKind(Field(r, 0)), ReadWeekdays(Field(r, 1)), ReadDayList(Field(r, 2)),
          ReadClockTime(Field(r, 3)), ReadClockTime(Field(r, 4)), ReadNumber(Field(r, 5))};
}

NetReceiveEvent ReadNetReceiveEvent(const Record& r) {
  return {ReadConnection(Field(r, 0)), CutCp932(Field(r, 1), kKeptNetSource), ReadNumber(Field(r, 2)),
          CutCp932(Field(r, 3), kKeptNetString)};
}

IrSendAction ReadIrSendAction(const Record& r) { return {ReadCodeText(Field(r, 2), kIrSendBytes)}; }

MailSendAction ReadMailSendAction(const Record& r) { return {Text(r, 0), Text(r, 1), Text(r, 2)}; }

PcControlAction ReadPcControlAction(const Record& r) { return {Word(r, 0, kPcControlWords), Text(r, 1)}; }

FtpSendAction ReadFtpSendAction(const Record& r) {
  return {Text(r, 0),         Text(r, 1),         DecodePassword(Field(r, 2)), Text(r, 3),
          Text(r, 4),         ReadYesNo(Field(r, 5)), ReadYesNo(Field(r, 6)),  ReadYesNo(Field(r, 7))};
}

MacroAction ReadMacroAction(const Record& r) {
  return {ReadMark(Field(r, 0)), Text(r, 1), ReadMark(Field(r, 2)), Text(r, 3), ReadNumber(Field(r, 4)),
          ReadNumber(Field(r, 5))};
}

CaptureAction ReadCaptureAction(const Record& r) {
  return {Word(r, 0, kCaptureKindWords), Word(r, 1, kImageSizeWords), Word(r, 2, kImageFormatWords),
          Word(r, 3, kSoundFormatWords), ReadNumber(Field(r, 4)),     Text(r, 5)};
}

NetSendAction ReadNetSendAction(const Record& r) {
  return {ReadConnection(Field(r, 0)), Text(r, 1), ReadNumber(Field(r, 2)), Text(r, 3)};
}

PowerAction ReadPowerAction(const Record& r) {
  return {Word(r, 0, kPowerOperationWords), Word(r, 1, kPowerInitialStateWords)};
}

MailAccount ReadMailAccount(const Record& r) {
  return {Text(r, 0), Text(r, 1), Text(r, 2), DecodePassword(Field(r, 3)), Text(r, 4), Text(r, 5)};
}

DirectActionSetting ReadDirectAction(const Record& r) { return {Text(r, 0), Text(r, 1)}; }

}  // namespace halvik::settings
