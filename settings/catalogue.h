// What each settings file means: its fields in order, and how the engine turns
// a stored record into the values it works with (words into table positions,
// marks and Y/N into bools, passwords deciphered, texts cut to the lengths the
// engine keeps, never splitting a double-byte character).
//
//   file          slots   fields (in order)
//   setio.bin     000-099 mark, event number, action list, comment
//   rmtrcv.bin    100-199 remote name, button name, signature code text
//   mailrcv.bin   200-299 sender address, subject string, comment
//   timrcv.bin    300-399 day kind, weekdays, day list, clock time, comment
//   intrcv.bin    400-499 day kind, weekdays, day list, start, end, seconds, comment
//   netrcv.bin    500-599 connection, source address, port, string, comment
//   rmtsnd.bin    100-199 remote name, button name, full code text (2-byte length)
//   mailsnd.bin   200-299 recipient, subject, body file
//   cmdsnd.bin    300-399 PC control word, file, comment
//   ftpsnd.bin    400-499 server, user, password, server file, local file, PASV, BIN, CVT
//   autsnd.bin    500-599 launch mark, application, switch mark, title, count, start tick, comment
//   capsnd.bin    600-699 kind, image size, image format, sound format, seconds, file, comment
//   netsnd.bin    700-799 connection, address, port, text, comment
//   pwrsnd.bin    800-899 operation word, initial-state word, comment
//   setmail.bin   record  POP3 server, SMTP server, user, password, name, poll interval
//   mailrcvd.bin  record  sender address, direct string
//   netrcvd.bin   record  source address, direct string
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/slot_file.h"
#include "settings/text_forms.h"

namespace halvik::settings {

// Lengths the engine keeps of matched texts.
inline constexpr size_t kKeptMailSender = 63;
inline constexpr size_t kKeptMailString = 15;
inline constexpr size_t kKeptNetSource = 63;
inline constexpr size_t kKeptNetString = 31;
inline constexpr size_t kSignatureBytes = 8;
inline constexpr size_t kIrSendBytes = 200;

struct RuleSetting {
  bool inForce = false;
  long eventNumber = 0;
  std::string actionList;
  std::string comment;
};

struct IrReceiveEvent {
  std::array<uint8_t, kSignatureBytes> signature{};
};

struct MailReceiveEvent {
  std::string sender;
  std::string subjectString;
};

struct TimeOfDayEvent {
  DayKind dayKind = DayKind::kEveryDay;
  std::bitset<7> weekdays;
  std::bitset<32> days;
  ClockTime at;
};

struct IntervalEvent {
  DayKind dayKind = DayKind::kEveryDay;
  std::bitset<7> weekdays;
  std::bitset<32> days;
  ClockTime start;
  ClockTime end;
  long intervalSeconds = 0;  // 0 also for a text that is not a number
};

struct NetReceiveEvent {
  bool connect = false;
  std::string source;
  long port = 0;
  std::string text;
};

struct IrSendAction {
  std::vector<uint8_t> code;  // at most kIrSendBytes
};

struct MailSendAction {
  std::string recipient;
  std::string subject;
  std::string bodyFile;
};

struct PcControlAction {
  int kind = 0;  // position in kPcControlWords, or its size when not found
  std::string file;
};

struct FtpSendAction {
  std::string server;
  std::string user;
  std::string password;  // deciphered
  std::string serverFile;
  std::string localFile;
  bool passive = false;
  bool binary = false;
  bool convert = false;
};

struct MacroAction {
  bool launch = false;
  std::string application;
  bool switchWindow = false;
  std::string title;
  long eventCount = 0;
  long startTick = 0;
};

struct CaptureAction {
  int kind = 0;
  int imageSize = 0;
  int imageFormat = 0;
  int soundFormat = 0;
  long seconds = 0;
  std::string file;
};

struct NetSendAction {
  bool connect = false;
  std::string address;
  long port = 0;
  std::string text;
};

struct PowerAction {
  int operation = 0;     // position in kPowerOperationWords, or 8
  int initialState = 0;  // position in kPowerInitialStateWords, or 3
  int Appliance() const { return operation / 2; }
  bool SwitchesOn() const { return operation % 2 == 0; }
};

struct MailAccount {
  std::string pop3Server;
  std::string smtpServer;
  std::string user;
  std::string password;  // deciphered
  std::string name;
  std::string pollInterval;  // kept for the editor; the engine polls on its own period
};

struct DirectActionSetting {
  std::string source;
  std::string directString;
};

// Each reads a filled record of its file (missing fields read as empty).
RuleSetting ReadRule(const Record& r);
IrReceiveEvent ReadIrReceiveEvent(const Record& r);
MailReceiveEvent ReadMailReceiveEvent(const Record& r);
TimeOfDayEvent ReadTimeOfDayEvent(const Record& r);
IntervalEvent ReadIntervalEvent(const Record& r);
NetReceiveEvent ReadNetReceiveEvent(const Record& r);
IrSendAction ReadIrSendAction(const Record& r);
MailSendAction ReadMailSendAction(const Record& r);
PcControlAction ReadPcControlAction(const Record& r);
FtpSendAction ReadFtpSendAction(const Record& r);
MacroAction ReadMacroAction(const Record& r);
CaptureAction ReadCaptureAction(const Record& r);
NetSendAction ReadNetSendAction(const Record& r);
PowerAction ReadPowerAction(const Record& r);
MailAccount ReadMailAccount(const Record& r);
DirectActionSetting ReadDirectAction(const Record& r);

}  // namespace halvik::settings
