#include "board/access.h"

#include <gtest/gtest.h>

#include <numeric>
#include <thread>

#include "fakes.h"

namespace halvik::board {
namespace {

using test::Call;
using test::RecordingHost;
using test::ScriptedDriver;

std::vector<uint8_t> Image() {
  std::vector<uint8_t> image(kFirmwareSize);
  std::iota(image.begin(), image.end(), 0);
  image[0] = 0x02;
  return image;
}

// The request sequence as short words, to compare whole dialogues.
std::vector<std::string> Trace(const ScriptedDriver& d) {
  std::vector<std::string> t;
  for (const Call& c : d.calls) {
    if (c.what != "control") {
      t.push_back(c.what);
    } else if (c.code == kIoctlVendorRequest) {
      t.push_back(c.in[9] ? "halt" : "run");
    } else if (c.code == kIoctlDownload) {
      t.push_back("download " + std::to_string(c.in.size()));
    } else if (c.code == kIoctlGetString) {
      t.push_back("string " + std::to_string(c.in[0]));
    } else if (c.code == kIoctlBulkWrite) {
      t.push_back("write " + std::to_string(c.out.size()));
    } else {
      t.push_back("read " + std::to_string(c.outSize));
    }
  }
  return t;
}

TEST(BoardRecords, VendorAndStringRequestsAreByteExact) {
  EXPECT_EQ(VendorRequestRecord(1), (std::array<uint8_t, 10>{0xA0, 0, 0x92, 0x7F, 0, 0, 1, 0, 0, 1}));
  EXPECT_EQ(VendorRequestRecord(0), (std::array<uint8_t, 10>{0xA0, 0, 0x92, 0x7F, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(StringRequestRecord(2), (std::array<uint8_t, 4>{2, 0, 27, 0}));
}

TEST(BoardRecords, StringDescriptorText) {
  struct Case {
    std::vector<uint8_t> reply;
    std::string text;
  };
  const Case cases[] = {
      {{10, 3, 'G', 0, 'P', 0, 'F', 0, 'W', 0}, "GPFW"},
      {{11, 3, 'G', 0, 'P', 0, 'F', 0, 'W', 0, 0}, "GPFW"},
      {{2, 3}, ""},
      {{0, 3}, ""},
      {{}, ""},
      // The length claims more than was delivered: only what is there.
      {{10, 3, 'G', 0, 'P'}, "GP"},
      // The high byte of a character is dropped.
      {{6, 3, 'V', 0x30, '1', 0}, "V1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StringDescriptorText(c.reply), c.text);
  }
}

TEST(BoardRecords, CheckTextIsMinutesColonTensOfSeconds) {
  EXPECT_EQ(CheckText("10:07:45"), "07:4");
  EXPECT_EQ(CheckText("23:59:09"), "59:0");
}

TEST(BoardAccess, DriverRequestsUseTheirControlCodesAndRecords) {
  ScriptedDriver d;
  RecordingHost host;
  Board board(d, host, Image());
  std::string text;
  d.answer = test::FirmwareStrings;
  ASSERT_EQ(board.Halt(), 0);
  ASSERT_EQ(board.Run(), 0);
  ASSERT_EQ(board.Download(Image()), 0);
  ASSERT_EQ(board.GetString(1, text), 0);
  EXPECT_EQ(text, "GPFW");
  ASSERT_EQ(d.calls.size(), 4u);
  EXPECT_EQ(d.calls[0].code, 0x222014u);
  EXPECT_EQ(d.calls[0].in, std::vector<uint8_t>({0xA0, 0, 0x92, 0x7F, 0, 0, 1, 0, 0, 1}));
  EXPECT_EQ(d.calls[0].outSize, 0u);
  EXPECT_EQ(d.calls[1].in.back(), 0);
  EXPECT_EQ(d.calls[2].code, 0x22201Cu);
  EXPECT_EQ(d.calls[2].in, Image());
  EXPECT_EQ(d.calls[3].code, 0x222044u);
  EXPECT_EQ(d.calls[3].in, std::vector<uint8_t>({1, 0, 27, 0}));
  EXPECT_EQ(d.calls[3].outSize, 258u);
  EXPECT_TRUE(host.errors.empty());
}

TEST(BoardAccess, FailingRequestsShowTheirMessage) {
  struct Case {
    std::function<int(Board&)> op;
    std::string message;
  };
  std::string text;
  std::vector<uint8_t> buffer(64);
  const Case cases[] = {
      {[](Board& b) { return b.Halt(); }, "i8051 Halt Error"},
      {[](Board& b) { return b.Run(); }, "i8051 run Error"},
      {[](Board& b) { return b.Download(Image()); }, "i8051 DownLOad Error"},
      {[&](Board& b) { return b.GetString(2, text); }, "i8051 Get String Error"},
      {[](Board& b) { return b.SendCommand(kStartupCommands); }, "i8051 bulk Write Error"},
      {[&](Board& b) { return static_cast<int>(b.ReadReply(buffer)); }, "i8051 bulk_read Error"},
  };
  for (const Case& c : cases) {
    ScriptedDriver d;
    d.answer = [](const Call&, std::span<uint8_t>, size_t&) { return -1; };
    RecordingHost host;
    Board board(d, host, Image());
    EXPECT_EQ(c.op(board), -1);
    EXPECT_EQ(host.errors, std::vector<std::string>{c.message});
  }
}

TEST(BoardAccess, BulkWriteOf70000BytesGoesOutIn32768ByteChunks) {
  ScriptedDriver d;
  RecordingHost host;
  Board board(d, host, Image());
  std::vector<uint8_t> data(70000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
  ASSERT_EQ(board.BulkWrite(5, data), 0);
  auto writes = d.Controls(kIoctlBulkWrite);
  ASSERT_EQ(writes.size(), 3u);
  size_t at = 0;
  const size_t sizes[] = {32768, 32768, 4464};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(writes[i].in, std::vector<uint8_t>({5, 0, 0, 0}));
    EXPECT_EQ(writes[i].out, std::vector<uint8_t>(data.begin() + at, data.begin() + at + sizes[i]));
    at += sizes[i];
  }
}

TEST(BoardAccess, BulkWriteStopsAtTheFirstFailedChunk) {
  ScriptedDriver d;
  int n = 0;
  d.answer = [&](const Call&, std::span<uint8_t>, size_t&) { return ++n == 2 ? -1 : 0; };
  RecordingHost host;
  Board board(d, host, Image());
  EXPECT_EQ(board.BulkWrite(0, std::vector<uint8_t>(70000)), -1);
  EXPECT_EQ(d.Controls(kIoctlBulkWrite).size(), 2u);
  EXPECT_EQ(host.errors.size(), 1u);
}

TEST(BoardAccess, BulkReadCountsWhatTheDriverDelivered) {
  ScriptedDriver d;
  RecordingHost host;
  Board board(d, host, Image());
  d.answer = [](const Call&, std::span<uint8_t> out, size_t& returned) {
    returned = out.size();
    return 0;
  };
  std::vector<uint8_t> buffer(70000);
  EXPECT_EQ(board.BulkRead(8, buffer), 70000);
  EXPECT_EQ(Trace(d), (std::vector<std::string>{"read 32768", "read 32768", "read 4464"}));
  EXPECT_EQ(d.calls[0].in, std::vector<uint8_t>({8, 0, 0, 0}));

  // A short packet ends the transfer.
  d.calls.clear();
  d.answer = [](const Call&, std::span<uint8_t>, size_t& returned) {
    returned = 64;
    return 0;
  };
  EXPECT_EQ(board.BulkRead(8, buffer), 64);
  EXPECT_EQ(d.calls.size(), 1u);
}

TEST(BoardFirmware, EveryLoadHaltsDownloadsRunsAndReopens) {
  ScriptedDriver d;
  d.answer = test::FirmwareStrings;  // the board already runs the firmware
  d.openResults = {0, -1, -1, 0};    // back on the second retry
  RecordingHost host;
  Board board(d, host, Image());
  ASSERT_EQ(board.LoadFirmware(0, Image(), "GPFW", CheckText(host.time)), 0);
  EXPECT_EQ(Trace(d), (std::vector<std::string>{"open", "string 1", "string 2", "halt", "download 4096", "run", "close",
                                                "open", "open", "open"}));
  EXPECT_EQ(host.sleptMs.load(), 3 * 2000);
  EXPECT_TRUE(host.errors.empty());
}

TEST(BoardFirmware, MatchingDescriptorsSkipTheDownload) {
  ScriptedDriver d;
  d.answer = test::FirmwareStrings;
  RecordingHost host;
  Board board(d, host, Image());
  ASSERT_EQ(board.LoadFirmware(0, Image(), "GPFW", "V100"), 0);
  EXPECT_EQ(Trace(d), (std::vector<std::string>{"open", "string 1", "string 2"}));
}

TEST(BoardFirmware, ReopenLoopIsBoundedAndLogged) {
  ScriptedDriver d;
  d.answer = test::FirmwareStrings;
  d.openResults = {0};
  for (int i = 0; i < 100; ++i) d.openResults.push_back(-1);
  RecordingHost host;
  Board board(d, host, Image());
  EXPECT_EQ(board.LoadFirmware(0, Image(), "GPFW", "07:4"), -1);
  EXPECT_EQ(host.sleptMs.load(), kReopenAttempts * 2000L);
  ASSERT_EQ(host.logs.size(), 1u);
  EXPECT_EQ(host.logs[0], std::make_pair(1, std::string(kReopenGaveUpText)));
}

TEST(BoardFirmware, AFailingStepStopsTheLoadAndClosesTheDevice) {
  struct Case {
    uint32_t code;
    int nth;  // which request of that code fails
    std::string message;
    std::string lastStep;
  };
  const Case cases[] = {
      {kIoctlGetString, 1, "i8051 Get String Error", "string 1"},
      {kIoctlGetString, 2, "i8051 Get String Error", "string 2"},
      {kIoctlVendorRequest, 1, "i8051 Halt Error", "halt"},
      {kIoctlDownload, 1, "i8051 DownLOad Error", "download 4096"},
      {kIoctlVendorRequest, 2, "i8051 run Error", "run"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message + " at " + c.lastStep);
    ScriptedDriver d;
    int seen = 0;
    d.answer = [&](const Call& call, std::span<uint8_t> out, size_t& returned) {
      if (call.code == c.code && ++seen == c.nth) return -1;
      return test::FirmwareStrings(call, out, returned);
    };
    RecordingHost host;
    Board board(d, host, Image());
    EXPECT_EQ(board.LoadFirmware(0, Image(), "GPFW", "07:4"), -1);
    EXPECT_EQ(host.errors, std::vector<std::string>{c.message});
    std::vector<std::string> t = Trace(d);
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(t[t.size() - 2], c.lastStep);
    EXPECT_EQ(t.back(), "close");
  }
}

TEST(BoardInitialisation, SendsTheStartUpCommandsAndReports) {
  ScriptedDriver d;
  d.answer = test::FirmwareStrings;
  RecordingHost host;
  Board board(d, host, Image());
  ASSERT_EQ(board.Initialise(), 0);
  EXPECT_TRUE(board.IsOpen());
  auto writes = d.Controls(kIoctlBulkWrite);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].in, std::vector<uint8_t>({0, 0, 0, 0}));
  EXPECT_EQ(writes[0].out, std::vector<uint8_t>({0x0F, 0x3F, 0xFE}));
  EXPECT_EQ(host.statuses, std::vector<std::string>{std::string(kBoardReadyText)});
  EXPECT_EQ(host.logs, (std::vector<std::pair<int, std::string>>{{0, std::string(kBoardReadyText)}}));
  EXPECT_EQ(host.debug, std::vector<std::string>{"InitStart\n"});
  EXPECT_EQ(d.Controls(kIoctlDownload).at(0).in, Image());

  board.CloseBoard();
  EXPECT_FALSE(board.IsOpen());
  EXPECT_EQ(d.calls.back().what, "close");
  size_t before = d.calls.size();
  board.CloseBoard();  // closed already: nothing to do
  EXPECT_EQ(d.calls.size(), before);
}

TEST(BoardInitialisation, AFailedStartUpWriteStillCountsAsInitialised) {
  ScriptedDriver d;
  d.answer = [](const Call& c, std::span<uint8_t> out, size_t& returned) {
    if (c.code == kIoctlBulkWrite) return -1;
    return test::FirmwareStrings(c, out, returned);
  };
  RecordingHost host;
  Board board(d, host, Image());
  EXPECT_EQ(board.Initialise(), 0);
  EXPECT_TRUE(board.IsOpen());
  EXPECT_EQ(host.statuses, std::vector<std::string>{std::string(kBoardNotReadyText)});
  EXPECT_EQ(host.logs, (std::vector<std::pair<int, std::string>>{{1, std::string(kBoardNotReadyText)}}));
}

TEST(BoardInitialisation, RetryBoxPaths) {
  struct Case {
    std::deque<RetryAnswer> answers;
    int opens;  // open attempts before the board is found; 99 = never
    int result, boxes, closes;
    bool open;
  };
  const Case cases[] = {
      {{RetryAnswer::kNo}, 99, -1, 1, 0, false},
      {{RetryAnswer::kCancel}, 99, -1, 1, 1, false},
      {{RetryAnswer::kYes, RetryAnswer::kYes, RetryAnswer::kNo}, 99, -1, 3, 0, false},
      {{RetryAnswer::kYes}, 1, 0, 1, 0, true},
  };
  for (const Case& c : cases) {
    ScriptedDriver d;
    d.answer = test::FirmwareStrings;
    for (int i = 0; i < std::min(c.opens, 20); ++i) d.openResults.push_back(-1);
    RecordingHost host;
    host.answers = c.answers;
    Board board(d, host, Image());
    EXPECT_EQ(board.Initialise(), c.result);
    EXPECT_EQ(host.retryBoxes.load(), c.boxes);
    EXPECT_EQ(host.closes.load(), c.closes);
    EXPECT_EQ(board.IsOpen(), c.open);
    EXPECT_TRUE(host.errors.empty());  // a failed open shows nothing itself
  }
}

TEST(BoardInitialisation, TheRetryTextIsExact) {
  EXPECT_EQ(kRetryText,
            "ミレコ吸い出しＵＳＢ装置を使用出来ません。再試行しますか？\t\n はい:再試行    いいえ:無視　  キャンセル:終了");
}

TEST(BoardInitialisation, NoLeavesTheBoardClosedAndTheNextUserTriesAgain) {
  ScriptedDriver d;
  d.answer = test::FirmwareStrings;
  d.openResults = {-1};
  RecordingHost host;
  Board board(d, host, Image());
  EXPECT_EQ(board.EnsureOpen(), -1);
  EXPECT_EQ(board.EnsureOpen(), 0);  // plugged in since
  EXPECT_EQ(host.retryBoxes.load(), 1);
  EXPECT_EQ(board.EnsureOpen(), 0);  // open: no second initialisation
  EXPECT_EQ(d.Controls(kIoctlDownload).size(), 1u);
}

TEST(BoardInitialisation, TwoThreadsAtOnceInitialiseOnce) {
  ScriptedDriver d;
  d.answer = test::FirmwareStrings;
  d.openDelayMs = 20;
  RecordingHost host;
  Board board(d, host, Image());
  int a = -2, b = -2;
  std::thread t1([&] { a = board.EnsureOpen(); });
  std::thread t2([&] { b = board.EnsureOpen(); });
  t1.join();
  t2.join();
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(d.Controls(kIoctlDownload).size(), 1u);
  EXPECT_EQ(host.debug.size(), 1u);
}

TEST(BoardInitialisation, TheEditorsOverrideIsLaidOverTheImage) {
  ScriptedDriver d;
  d.answer = test::FirmwareStrings;
  RecordingHost host;
  host.overrideImage = [](std::span<uint8_t> image) { image[5] = 0xEE; };
  Board board(d, host, Image());
  ASSERT_EQ(board.Initialise(), 0);
  std::vector<uint8_t> expected = Image();
  expected[5] = 0xEE;
  EXPECT_EQ(d.Controls(kIoctlDownload).at(0).in, expected);
}

}  // namespace
}  // namespace halvik::board
