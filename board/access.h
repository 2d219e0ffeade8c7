// The board access layer shared by the engine and the editor: the board
// device, the 8051 control requests, firmware download, bulk transfers, the
// host-to-board commands and the board initialisation with its retry box.
// One Board per program. Everything the program must do on its side (message
// boxes, the status window, the engine log, sleeping, the clock) goes through
// BoardHost, so that the layer itself runs unchanged in tests.
//
// Records (little-endian):
//   vendor request  0:request 0xA0  1:0  2-3:value 0x7F92 (CPUCS)  4-5:index 0
//                   6-7:length 1  8:direction 0  9:data (1 hold 8051 in reset, 0 run)
//   string request  0:descriptor index  1:0  2-3:language id 27
//   string reply    0:length in bytes  1:type 3  then UTF-16LE characters
//
// Commands (bulk packets on pipe 0; the firmware acts on the high nibble):
//   0x0F            output enable mask of port C
//   0x3n, operand   port C low nibble := n
//   0x80, part      prepare one 64-byte reply on pipe 8 (IR read, ir.h)
//   0x93, index, 62 code bytes   store into the transmit buffer; index 2 transmits
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "board/driver.h"

namespace halvik::board {

inline constexpr size_t kFirmwareSize = 4096;
inline constexpr size_t kBulkChunk = 32768;
inline constexpr uint32_t kCommandPipe = 0;
inline constexpr uint32_t kReplyPipe = 8;
inline constexpr size_t kStringReplySize = 258;
inline constexpr uint16_t kCpuControlRegister = 0x7F92;
inline constexpr uint16_t kStringLanguage = 27;
inline constexpr int kReopenWaitMs = 2000;
// The board re-enumerates within a second or two after the download; after
// this many waits it is taken as gone and the load fails (and is logged).
inline constexpr int kReopenAttempts = 15;

inline constexpr std::string_view kHaltError = "i8051 Halt Error";
inline constexpr std::string_view kRunError = "i8051 run Error";
inline constexpr std::string_view kDownloadError = "i8051 DownLOad Error";
inline constexpr std::string_view kStringError = "i8051 Get String Error";
inline constexpr std::string_view kBulkWriteError = "i8051 bulk Write Error";
inline constexpr std::string_view kBulkReadError = "i8051 bulk_read Error";
inline constexpr std::string_view kRetryText =
    "ミレコ吸い出しＵＳＢ装置を使用出来ません。再試行しますか？\t\n はい:再試行    いいえ:無視　  キャンセル:終了";
inline constexpr std::string_view kBoardReadyText = "ミレコＵＳＢが使用出来ます";
inline constexpr std::string_view kBoardNotReadyText = "ミレコＵＳＢが使用出来ません";
inline constexpr std::string_view kReopenGaveUpText = "ミレコＵＳＢが再接続されませんでした";
inline constexpr std::string_view kManufacturerText = "GPFW";

// The three start-up commands: all of port C's low nibble as outputs, then the
// port command 0x3F with its operand, which leaves the outlet latch idle.
inline constexpr std::array<uint8_t, 3> kStartupCommands = {0x0F, 0x3F, 0xFE};

enum class RetryAnswer { kYes, kNo, kCancel };

class BoardHost {
 public:
  virtual ~BoardHost() = default;
  // Message box with the text, no caption, OK button.
  virtual void ShowError(std::string_view text) = 0;
  // The retry box (Yes / No / Cancel, information icon, system-modal, topmost).
  virtual RetryAnswer AskRetry(std::string_view text) = 0;
  // Cancel in the retry box: WM_CLOSE to the program's main window.
  virtual void CloseMainWindow() = 0;
  // The status window, if the program has one set.
  virtual void ShowStatus(std::string_view text) = 0;
  // The engine log (kind 0 or 1); the editor may ignore it.
  virtual void Log(int kind, std::string_view text) = 0;
  virtual void DebugOutput(std::string_view text) = 0;
  virtual void Sleep(int ms) = 0;
  // Local time as "HH:MM:SS".
  virtual std::string LocalTimeText() = 0;
  // The editor lays the first bytes of its override file over the image.
  virtual void OverrideImage(std::span<uint8_t> image) { (void)image; }
  // WM_COMMAND 115 sent to the notify window (ir.h), with what was received.
  virtual void Notify(uintptr_t window, std::span<const uint8_t> received) {
    (void)window;
    (void)received;
  }
};

std::array<uint8_t, 10> VendorRequestRecord(uint8_t data);
std::array<uint8_t, 4> StringRequestRecord(uint8_t index);
// The text of a string descriptor reply: the low byte of each of the first
// length / 2 - 1 characters, never reading past the bytes delivered.
std::string StringDescriptorText(std::span<const uint8_t> reply);
// "HH:MM:SS" -> the four characters from position 3 (at 10:07:45, "07:4").
std::string CheckText(std::string_view localTime);

class Board {
 public:
  Board(Driver& driver, BoardHost& host, std::span<const uint8_t> image);

  // The driver operations: 0 on success, -1 after the operation's message box.
  [[nodiscard]] int OpenDevice(int index);  // shows nothing
  void CloseDevice();
  [[nodiscard]] int Halt();
  [[nodiscard]] int Run();
  [[nodiscard]] int Download(std::span<const uint8_t> image);
  [[nodiscard]] int GetString(int index, std::string& text);
  [[nodiscard]] int BulkWrite(uint32_t pipe, std::span<const uint8_t> bytes);
  // Total bytes delivered, or -1.
  [[nodiscard]] long BulkRead(uint32_t pipe, std::span<uint8_t> buffer);

  // Open, compare the descriptors, halt, download, run, reopen. Leaves the
  // device open on 0; closes it on -1.
  [[nodiscard]] int LoadFirmware(int index, std::span<const uint8_t> image, std::string_view text1,
                                 std::string_view text2);
  // Board initialisation with the retry box; one at a time in the program.
  [[nodiscard]] int Initialise();
  // Initialises unless the board open flag is set.
  [[nodiscard]] int EnsureOpen();
  // If the board open flag is set: close the device and clear the flag.
  void CloseBoard();
  bool IsOpen() const { return open_.load(); }
  // Whether the device can be opened now (the board is plugged in); quiet.
  bool DevicePresent();

  [[nodiscard]] int SendCommand(std::span<const uint8_t> bytes) { return BulkWrite(kCommandPipe, bytes); }
  [[nodiscard]] long ReadReply(std::span<uint8_t> buffer) { return BulkRead(kReplyPipe, buffer); }

  BoardHost& Host() { return host_; }

 private:
  int VendorRequest(uint8_t data, std::string_view error);
  int InitialiseLocked();

  Driver& driver_;
  BoardHost& host_;
  std::vector<uint8_t> image_;
  std::atomic<bool> open_{false};
  std::mutex initMutex_;
};

}  // namespace halvik::board
