#include "board/ir.h"

#include <algorithm>

namespace halvik::board {

std::array<uint8_t, 64> CodePacket(std::span<const uint8_t> sendBuffer, int index) {
  std::array<uint8_t, 64> packet{};
  packet[0] = kCodePacketCommand;
  packet[1] = static_cast<uint8_t>(index);
  size_t from = static_cast<size_t>(index) * kCodeBytesPerPacket;
  for (size_t i = 0; i < kCodeBytesPerPacket && from + i < sendBuffer.size(); ++i) packet[2 + i] = sendBuffer[from + i];
  return packet;
}

IrChannel::IrChannel(Board& board, IrProfile profile)
    : board_(board), profile_(profile), sendBuffer_(profile.sendBufferSize, 0) {}

IrChannel::~IrChannel() {
  RequestStop();
  Join();
}

void IrChannel::Start() {
  std::lock_guard<std::mutex> lock(threadMutex_);
  if (running_.load()) return;
  if (thread_.joinable()) thread_.join();  // a thread that has ended on its own
  stop_.store(false);
  running_.store(true);
  thread_ = std::thread(&IrChannel::ThreadMain, this);
}

void IrChannel::RequestStop() { stop_.store(true); }

void IrChannel::Join() {
  std::thread ending;
  {
    std::lock_guard<std::mutex> lock(threadMutex_);
    ending = std::move(thread_);
  }
  if (ending.joinable()) ending.join();  // outside the lock: the thread takes it as it ends
}

void IrChannel::QueueCode(std::span<const uint8_t> code) {
  {
    std::unique_lock<std::mutex> lock(sendMutex_);
    while (pending_ > 0) sendDone_.wait_for(lock, std::chrono::milliseconds(kSendWaitStepMs));
    std::fill(sendBuffer_.begin(), sendBuffer_.end(), 0);
    std::copy_n(code.begin(), std::min(code.size(), sendBuffer_.size()), sendBuffer_.begin());
    ++pending_;
  }
  Start();
}

void IrChannel::QueueCodeNow(std::span<const uint8_t> code) {
  {
    std::lock_guard<std::mutex> lock(sendMutex_);
    std::fill(sendBuffer_.begin(), sendBuffer_.end(), 0);
    std::copy_n(code.begin(), std::min(code.size(), sendBuffer_.size()), sendBuffer_.begin());
    pending_ = 1;
  }
  Start();
}

int IrChannel::PendingSends() {
  std::lock_guard<std::mutex> lock(sendMutex_);
  return pending_;
}

std::vector<uint8_t> IrChannel::ReceivedData() {
  std::lock_guard<std::mutex> lock(receivedMutex_);
  return received_;
}

bool IrChannel::TakeStop() { return stop_.exchange(false); }

void IrChannel::ThreadMain() {
  if (board_.EnsureOpen() == 0) {
    std::vector<uint8_t> packet(4096, 0);
    int lostPasses = 0;
    for (;;) {
      if (TakeStop()) break;
      if (lost_.load()) {
        // The board went away (unplugged, or its firmware lost power): look
        // for it every 2 s and initialise it again once it is back.
        if (++lostPasses * kPollMs >= kReopenWaitMs) {
          lostPasses = 0;
          if (board_.DevicePresent() && board_.EnsureOpen() == 0) lost_.store(false);
        }
        board_.Host().Sleep(kPollMs);
        continue;
      }
      TransmitPending();
      if (receive_.load() && !lost_.load()) {
        PollResult r = Poll(packet);
        if (r == PollResult::kStop) break;
        if (r == PollResult::kAgain) continue;
      }
      board_.Host().Sleep(kPollMs);
    }
    board_.CloseBoard();
  }
  {
    // A code still pending now would be sent by a thread started much later;
    // the action that queued it has no effect instead. Under the thread lock,
    // so that a code queued from now on starts a new thread (Start).
    std::lock_guard<std::mutex> threadLock(threadMutex_);
    {
      std::lock_guard<std::mutex> lock(sendMutex_);
      pending_ = 0;
    }
    lost_.store(false);
    running_.store(false);
  }
  sendDone_.notify_all();
}

void IrChannel::MarkLost() {
  lost_.store(true);
  board_.CloseBoard();
}

void IrChannel::TransmitPending() {
  std::vector<uint8_t> code;
  {
    std::lock_guard<std::mutex> lock(sendMutex_);
    if (pending_ == 0) return;
    code = sendBuffer_;
  }
  for (int index = 0; index < profile_.codePackets; ++index) {
    if (board_.SendCommand(CodePacket(code, index)) != 0) {
      MarkLost();  // the code stays pending and goes out once the board is back
      return;
    }
  }
  {
    std::lock_guard<std::mutex> lock(sendMutex_);
    pending_ = profile_.countsPending ? std::max(0, pending_ - 1) : 0;
  }
  sendDone_.notify_all();
  board_.Host().ShowStatus(kSendDoneText);
  if (profile_.afterSendMs > 0) board_.Host().Sleep(profile_.afterSendMs);
}

bool IrChannel::ReadPart(int part, std::span<uint8_t> reply) {
  reply[0] = 0;
  std::array<uint8_t, 2> request = {kReadCommand, static_cast<uint8_t>(part)};
  if (board_.SendCommand(request) != 0 || board_.ReadReply(reply) < 0) {
    MarkLost();
    return false;
  }
  return true;
}

IrChannel::PollResult IrChannel::Poll(std::vector<uint8_t>& packet) {
  std::span<uint8_t> reply(packet.data(), kReplySize);
  reply[0] = 0;
  if (TakeStop()) return PollResult::kStop;
  int part = readPart_.load();
  if (!ReadPart(part, reply)) return PollResult::kNext;
  if (TakeStop()) return PollResult::kStop;
  if (reply[0] == 0) return PollResult::kNext;

  std::vector<uint8_t> received(reply.begin(), reply.end());
  if (part == 1) {
    for (int next = 2; next <= profile_.lastFullPart; ++next) {
      readPart_.store(next);
      bool ok = ReadPart(next, reply);
      if (!ok) break;
      received.insert(received.end(), reply.begin(), reply.end());
    }
    readPart_.store(1);
    if (lost_.load()) return PollResult::kNext;
  }
  if (profile_.ignoreFlatReplies &&
      std::all_of(received.begin() + 1, received.begin() + 8, [&](uint8_t b) { return b == received[0]; })) {
    return PollResult::kAgain;
  }
  {
    std::lock_guard<std::mutex> lock(receivedMutex_);
    received_ = std::move(received);
  }
  if (uintptr_t window = notifyWindow_.load()) {
    std::vector<uint8_t> copy = ReceivedData();
    board_.Host().Notify(window, copy);
  }
  board_.Host().Sleep(kAfterReceptionMs);
  return PollResult::kNext;
}

}  // namespace halvik::board
