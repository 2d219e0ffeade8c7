#include "board/ir.h"

#include <gtest/gtest.h>

#include <thread>

#include "board/firmware_image.h"
#include "fakes.h"

namespace halvik::board {
namespace {

using test::RecordingHost;
using test::VirtualDriver;

TEST(IrPackets, CodePacketsCarry62BytesEach) {
  std::vector<uint8_t> buffer(1024);
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(i);
  for (int index = 0; index < 4; ++index) {
    auto p = CodePacket(buffer, index);
    EXPECT_EQ(p[0], 0x93);
    EXPECT_EQ(p[1], index);
    EXPECT_EQ(p[2], static_cast<uint8_t>(index * 62));
    EXPECT_EQ(p[63], static_cast<uint8_t>(index * 62 + 61));
  }
}

// The board thread against the virtual board, through the access layer.
class IrChannelTest : public ::testing::Test {
 protected:
  IrChannelTest() : vb(0), driver(vb), board(driver, host, kFirmwareImage) { host.sleepDivisor = 10; }

  bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
    for (int waited = 0; waited < ms; waited += 5) {
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
  }
  size_t Sent() {
    return driver.WithBoard([](VirtualBoard& b) { return b.Transmissions().size(); });
  }

  VirtualBoard vb;
  VirtualDriver driver;
  RecordingHost host;
  Board board;
};

TEST_F(IrChannelTest, APressIsDeliveredToTheNotifyWindow) {
  IrChannel channel(board, kEngineProfile);
  std::vector<uint8_t> seen;
  host.onNotify = [&](uintptr_t window, std::span<const uint8_t> received) {
    EXPECT_EQ(received.size(), 64u);
    EXPECT_EQ(window, 0x1234u);
    seen = channel.ReceivedData();
  };
  channel.SetReadPart(0);
  channel.SetReceive(true);
  channel.SetNotifyWindow(0x1234);
  channel.Start();
  ASSERT_TRUE(WaitFor([&] { return board.IsOpen(); }));
  std::vector<uint8_t> sig = {7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  std::vector<uint8_t> code = {0x20, 0x10, 0x05, 0xFF};
  ASSERT_TRUE(WaitFor([&] {
    return driver.WithBoard([&](VirtualBoard& b) { return b.Press(sig, code); }) ==
           VirtualBoard::PressResult::kCaptured;
  }));
  ASSERT_TRUE(WaitFor([&] { return host.notifications.load() == 1; }));
  ASSERT_EQ(seen.size(), 64u);  // the signature reply
  EXPECT_TRUE(std::equal(sig.begin(), sig.end(), seen.begin()));
  // Nothing new: no further notification.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(host.notifications.load(), 1);
  channel.RequestStop();
  channel.Join();
  EXPECT_FALSE(board.IsOpen());  // the thread closes the board as it ends
}

TEST_F(IrChannelTest, ReadPart1DeliversTheFullCode) {
  IrChannel channel(board, kEngineProfile);
  std::vector<uint8_t> seen;
  host.onNotify = [&](uintptr_t, std::span<const uint8_t>) { seen = channel.ReceivedData(); };
  channel.SetReadPart(1);
  channel.SetReceive(true);
  channel.SetNotifyWindow(1);
  channel.Start();
  std::vector<uint8_t> code(191);
  for (size_t i = 0; i < code.size(); ++i) code[i] = static_cast<uint8_t>(i % 200 + 1);
  ASSERT_TRUE(WaitFor([&] {
    return driver.WithBoard([&](VirtualBoard& b) { return b.Press(SignatureOf(code), code); }) ==
           VirtualBoard::PressResult::kCaptured;
  }));
  ASSERT_TRUE(WaitFor([&] { return host.notifications.load() == 1; }));
  ASSERT_EQ(seen.size(), 192u);
  EXPECT_TRUE(std::equal(code.begin(), code.end(), seen.begin()));
  EXPECT_EQ(seen[191], 0xFF);
  EXPECT_FALSE(driver.WithBoard([](VirtualBoard& b) { return b.Captured(); }));  // part 3 cleared the flag
}

TEST_F(IrChannelTest, EditorIgnoresFlatReplies) {
  IrChannel channel(board, kEditorProfile);
  channel.SetReadPart(0);
  channel.SetReceive(true);
  channel.SetNotifyWindow(1);
  channel.Start();
  std::vector<uint8_t> flat(16, 0x33);
  ASSERT_TRUE(WaitFor([&] {
    return driver.WithBoard([&](VirtualBoard& b) { return b.Press(flat, flat); }) ==
           VirtualBoard::PressResult::kCaptured;
  }));
  ASSERT_TRUE(WaitFor([&] { return !driver.WithBoard([](VirtualBoard& b) { return b.Captured(); }); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(host.notifications.load(), 0);
}

TEST_F(IrChannelTest, AQueuedCodeIsTransmittedAsThreePackets) {
  IrChannel channel(board, kEngineProfile);
  std::vector<uint8_t> code(200, 0x11);
  code[185] = 0x22;
  code[186] = 0x33;  // past what the engine transmits
  channel.QueueCode(code);
  ASSERT_TRUE(WaitFor([&] { return Sent() == 1; }));
  auto sent = driver.WithBoard([](VirtualBoard& b) { return b.Transmissions()[0]; });
  ASSERT_EQ(sent.size(), 186u);
  EXPECT_EQ(sent[185], 0x22);
  ASSERT_TRUE(WaitFor([&] { return channel.PendingSends() == 0; }));
  EXPECT_EQ(host.Locked([&] { return host.statuses.back(); }), kSendDoneText);
}

TEST_F(IrChannelTest, TwoSendersAtOnceBothTransmitInTurn) {
  IrChannel channel(board, kEngineProfile);
  std::vector<uint8_t> a = {0x0A, 0x0A, 0xFF}, b = {0x0B, 0x0B, 0x0B, 0xFF};
  std::thread ta([&] { channel.QueueCode(a); });
  std::thread tb([&] { channel.QueueCode(b); });
  ta.join();
  tb.join();
  ASSERT_TRUE(WaitFor([&] { return Sent() == 2; }));
  auto sent = driver.WithBoard([](VirtualBoard& v) { return v.Transmissions(); });
  std::vector<std::vector<uint8_t>> both = {sent[0], sent[1]};
  std::sort(both.begin(), both.end());
  EXPECT_EQ(both[0], a);
  EXPECT_EQ(both[1], b);
}

TEST_F(IrChannelTest, ASecondCodeWaitsUntilTheFirstHasBeenSent) {
  IrChannel channel(board, kEngineProfile);
  // Hold the board thread in its retry box so that the first code stays pending.
  std::atomic<bool> replugged{false};
  host.onRetry = [&] {
    while (!replugged) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return RetryAnswer::kYes;
  };
  driver.WithBoard([](VirtualBoard& b) {
    b.Pull();
    return 0;
  });
  channel.QueueCode(std::vector<uint8_t>{1, 0xFF});
  std::atomic<bool> secondQueued{false};
  std::thread t([&] {
    channel.QueueCode(std::vector<uint8_t>{2, 0xFF});
    secondQueued = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(secondQueued.load());
  driver.WithBoard([](VirtualBoard& b) {
    b.Plug();
    return 0;
  });
  replugged = true;
  t.join();
  ASSERT_TRUE(WaitFor([&] { return Sent() == 2; }));
  auto sent = driver.WithBoard([](VirtualBoard& v) { return v.Transmissions(); });
  EXPECT_EQ(sent[0], (std::vector<uint8_t>{1, 0xFF}));
  EXPECT_EQ(sent[1], (std::vector<uint8_t>{2, 0xFF}));
}

TEST_F(IrChannelTest, NoInTheRetryBoxDropsTheCodeAndTheNextSendTriesAgain) {
  IrChannel channel(board, kEngineProfile);
  driver.WithBoard([](VirtualBoard& b) {
    b.Pull();
    return 0;
  });
  channel.QueueCode(std::vector<uint8_t>{1, 0xFF});
  ASSERT_TRUE(WaitFor([&] { return host.retryBoxes.load() == 1 && !channel.Running(); }));
  EXPECT_EQ(channel.PendingSends(), 0);
  driver.WithBoard([](VirtualBoard& b) {
    b.Plug();
    return 0;
  });
  channel.QueueCode(std::vector<uint8_t>{2, 0xFF});
  ASSERT_TRUE(WaitFor([&] { return Sent() == 1; }));
  EXPECT_EQ(driver.WithBoard([](VirtualBoard& v) { return v.Transmissions()[0]; }), (std::vector<uint8_t>{2, 0xFF}));
}

TEST_F(IrChannelTest, SendsRacingAThreadThatGivesUpNeverHangLaterSends) {
  host.sleepDivisor = 0;
  driver.WithBoard([](VirtualBoard& b) {
    b.Pull();
    return 0;
  });
  IrChannel channel(board, kEngineProfile);
  for (int round = 0; round < 50; ++round) {
    std::thread a([&] { channel.QueueCode(std::vector<uint8_t>{1, 0xFF}); });
    std::thread b([&] { channel.QueueCode(std::vector<uint8_t>{2, 0xFF}); });
    a.join();
    b.join();
  }
  // Every queued code was either dropped by a thread that gave up or started
  // a new one, which gave up in turn: nothing is left waiting.
  ASSERT_TRUE(WaitFor([&] { return !channel.Running() && channel.PendingSends() == 0; }));
  EXPECT_GE(host.retryBoxes.load(), 1);
}

TEST_F(IrChannelTest, ThreadSurvivesAnUnpluggedBoardAndWorksOnceReplugged) {
  IrChannel channel(board, kEngineProfile);
  channel.SetReadPart(0);
  channel.SetReceive(true);
  channel.SetNotifyWindow(1);
  channel.Start();
  ASSERT_TRUE(WaitFor([&] { return board.IsOpen(); }));
  driver.WithBoard([](VirtualBoard& b) {
    b.Pull();
    return 0;
  });
  ASSERT_TRUE(WaitFor([&] { return !board.IsOpen(); }));
  EXPECT_TRUE(channel.Running());
  size_t errors = host.Locked([&] { return host.errors.size(); });
  EXPECT_EQ(errors, 1u);  // one transfer message, not one per poll
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(host.Locked([&] { return host.errors.size(); }), errors);
  driver.WithBoard([](VirtualBoard& b) {
    b.Plug();
    return 0;
  });
  ASSERT_TRUE(WaitFor([&] { return board.IsOpen(); }));
  std::vector<uint8_t> sig(16, 0);
  sig[0] = 9;
  sig[1] = 1;
  ASSERT_TRUE(WaitFor([&] {
    return driver.WithBoard([&](VirtualBoard& b) { return b.Press(sig, sig); }) ==
           VirtualBoard::PressResult::kCaptured;
  }));
  ASSERT_TRUE(WaitFor([&] { return host.notifications.load() == 1; }));
}

}  // namespace
}  // namespace halvik::board
