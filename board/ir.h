// Infrared on the board: the board thread that does all infrared traffic of
// a program (transmit queued codes, poll for captured signals) and the state
// it shares with the threads that ask it for something. The engine's receive
// table and recognition live with its other tables (engine/tables.h).
//
// Board side (firmware and virtual board alike):
//   0x80, part 0     reply bytes 0-15: the signature of the captured signal,
//                    and the captured flag is cleared; byte 0 = 0: nothing new
//   0x80, part 1-3   reply: bytes 0-63 / 64-127 / 128-191 of the captured code
//                    while the flag is set; part 3 clears it; else byte 0 = 0
//   0x93, index, 62 bytes   index 0 -> transmit buffer 0-61, 1 -> 62-123,
//                    other -> 124-185; index 2 transmits the 186-byte buffer
//   code bytes       durations; 0xFE escapes a long duration; 0xFF ends the code
//
// The pending send count is guarded: a sender waits until no code is pending
// and queues its own in one step, so two rules sending at once both transmit,
// one after the other.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "board/access.h"

namespace halvik::board {

inline constexpr size_t kReplySize = 64;
inline constexpr size_t kCodeBytesPerPacket = 62;
inline constexpr uint8_t kReadCommand = 0x80;
inline constexpr uint8_t kCodePacketCommand = 0x93;
inline constexpr int kPollMs = 100;
inline constexpr int kAfterReceptionMs = 100;  // then the poll wait: 200 ms in all
inline constexpr int kSendWaitStepMs = 500;
inline constexpr std::string_view kSendDoneText = "リモコン送信が完了しました";

// One code packet: 0x93, index, then 62 bytes of the send buffer at index * 62.
std::array<uint8_t, 64> CodePacket(std::span<const uint8_t> sendBuffer, int index);

// What differs between the engine's board thread and the editor's.
struct IrProfile {
  size_t sendBufferSize;   // engine 512, editor 1024
  int codePackets;         // engine 3 (186 bytes sent), editor 4 (248)
  int lastFullPart;        // full code: parts 1..3 (engine) or 1..4 (editor)
  bool ignoreFlatReplies;  // editor: bytes 1-7 all equal to byte 0 is no reception
  int afterSendMs;         // editor waits 1000 ms after a transmission
  bool countsPending;      // engine: a count of queued codes; editor: a flag
};
inline constexpr IrProfile kEngineProfile = {512, 3, 3, false, 0, true};
inline constexpr IrProfile kEditorProfile = {1024, 4, 4, true, 1000, false};

class IrChannel {
 public:
  IrChannel(Board& board, IrProfile profile);
  ~IrChannel();  // requests a stop and waits for the thread

  // Receive side, set before starting the thread (or while it runs).
  void SetReadPart(int part) { readPart_.store(part); }
  void SetReceive(bool on) { receive_.store(on); }
  void SetNotifyWindow(uintptr_t window) { notifyWindow_.store(window); }

  // Starts the board thread unless it runs.
  void Start();
  bool Running() const { return running_.load(); }
  // The stop request; the thread clears it as it leaves its loop.
  void RequestStop();
  // Waits for a thread that has been asked to stop (not from the notify handler).
  void Join();

  // Engine IR send: waits (in 500 ms steps) until no code is pending, copies
  // the code into the send buffer, counts it and starts the thread if needed.
  void QueueCode(std::span<const uint8_t> code);
  // Editor test: replaces the send buffer and raises the pending flag.
  void QueueCodeNow(std::span<const uint8_t> code);
  int PendingSends();

  // A copy of the received data (engine 64 bytes; editor up to 4 replies).
  std::vector<uint8_t> ReceivedData();

 private:
  enum class PollResult { kNext, kAgain, kStop };  // wait and poll, poll at once, leave
  void ThreadMain();
  PollResult Poll(std::vector<uint8_t>& packet);
  bool ReadPart(int part, std::span<uint8_t> reply);
  void TransmitPending();
  bool TakeStop();
  void MarkLost();

  Board& board_;
  const IrProfile profile_;

  std::mutex sendMutex_;
  std::condition_variable sendDone_;
  std::vector<uint8_t> sendBuffer_;
  int pending_ = 0;

  std::mutex receivedMutex_;
  std::vector<uint8_t> received_;

  std::atomic<int> readPart_{0};
  std::atomic<bool> receive_{false};
  std::atomic<bool> stop_{false};
  std::atomic<uintptr_t> notifyWindow_{0};
  std::atomic<bool> lost_{false};

  std::mutex threadMutex_;
  std::thread thread_;
  std::atomic<bool> running_{false};
};

}  // namespace halvik::board
