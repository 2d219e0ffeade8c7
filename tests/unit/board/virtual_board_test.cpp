#include "board/emulator/virtual_board.h"

#include <gtest/gtest.h>

#include "board/driver.h"
#include "board/firmware_image.h"

namespace halvik::board {
namespace {

std::vector<uint8_t> Pipe(uint8_t n) { return {n, 0, 0, 0}; }

struct Bench {
  VirtualBoard vb{300};
  int64_t now = 1000;
  int h = -1;

  VirtualBoard::Result Do(uint32_t code, std::vector<uint8_t> in, std::vector<uint8_t> out = {}) {
    return vb.Control(h, code, in, out, now);
  }
  std::string Text(uint8_t index) {
    auto r = Do(kIoctlGetString, {index, 0, 27, 0}, std::vector<uint8_t>(258));
    std::string t;
    for (size_t i = 2; i + 1 < r.data.size(); i += 2) t.push_back(static_cast<char>(r.data[i]));
    return r.ok ? t : "(failed)";
  }
  void StartFirmware() {
    h = vb.Open(0, now);
    ASSERT_TRUE(Do(kIoctlVendorRequest, {0xA0, 0, 0x92, 0x7F, 0, 0, 1, 0, 0, 1}).ok);
    ASSERT_TRUE(Do(kIoctlDownload, {kFirmwareImage.begin(), kFirmwareImage.end()}).ok);
    ASSERT_TRUE(Do(kIoctlVendorRequest, {0xA0, 0, 0x92, 0x7F, 0, 0, 1, 0, 0, 0}).ok);
    now += 300;
    h = vb.Open(0, now);
    ASSERT_GE(h, 0);
  }
  bool Write(std::vector<uint8_t> bytes) { return Do(kIoctlBulkWrite, Pipe(0), bytes).ok; }
  std::vector<uint8_t> Read() {
    auto r = Do(kIoctlBulkRead, Pipe(8), std::vector<uint8_t>(64));
    return r.ok ? r.data : std::vector<uint8_t>{};
  }
};

TEST(VirtualBoard, ReEnumeratesWithTheFirmwaresStrings) {
  Bench b;
  b.h = b.vb.Open(0, b.now);
  ASSERT_GE(b.h, 0);
  EXPECT_EQ(b.Text(1), "");  // the default device has no strings
  EXPECT_FALSE(b.Write({0x0F}));  // nor bulk pipes
  ASSERT_TRUE(b.Do(kIoctlVendorRequest, {0xA0, 0, 0x92, 0x7F, 0, 0, 1, 0, 0, 1}).ok);
  ASSERT_TRUE(b.Do(kIoctlDownload, {kFirmwareImage.begin(), kFirmwareImage.end()}).ok);
  ASSERT_TRUE(b.Do(kIoctlVendorRequest, {0xA0, 0, 0x92, 0x7F, 0, 0, 1, 0, 0, 0}).ok);
  // Gone for a moment: the old handle is dead and the device cannot be opened.
  EXPECT_FALSE(b.Do(kIoctlGetString, {1, 0, 27, 0}, std::vector<uint8_t>(258)).ok);
  EXPECT_EQ(b.vb.Open(0, b.now + 100), -1);
  b.now += 300;
  b.h = b.vb.Open(0, b.now);
  ASSERT_GE(b.h, 0);
  EXPECT_EQ(b.Text(1), "GPFW");
  EXPECT_EQ(b.Text(2), "V100");
  EXPECT_EQ(b.Text(3), "(failed)");
}

TEST(VirtualBoard, ReadPartsAndTheCapturedFlag) {
  Bench b;
  b.StartFirmware();
  ASSERT_TRUE(b.Write({0x80, 0}));
  EXPECT_EQ(b.Read().at(0), 0);
  EXPECT_TRUE(b.Read().empty());  // no reply prepared: the read fails

  std::vector<uint8_t> sig(16, 0x41), code(150);
  for (size_t i = 0; i < code.size(); ++i) code[i] = static_cast<uint8_t>(i + 1);
  ASSERT_EQ(b.vb.Press(sig, code), VirtualBoard::PressResult::kCaptured);
  EXPECT_EQ(b.vb.Press(sig, code), VirtualBoard::PressResult::kBusy);
  for (int part = 1; part <= 3; ++part) {
    ASSERT_TRUE(b.Write({0x80, static_cast<uint8_t>(part)}));
    auto r = b.Read();
    ASSERT_EQ(r.size(), 64u);
    EXPECT_EQ(r[0], part == 3 ? 129 : (part - 1) * 64 + 1);
  }
  EXPECT_FALSE(b.vb.Captured());  // part 3 cleared it
  // Part 4: byte 0 = 0 and the rest of the previous reply.
  ASSERT_TRUE(b.Write({0x80, 4}));
  auto r = b.Read();
  EXPECT_EQ(r[0], 0);
  EXPECT_EQ(r[1], 130);
  EXPECT_EQ(r[150 - 128], 0xFF);  // the code was ended

  ASSERT_EQ(b.vb.Press(sig, code), VirtualBoard::PressResult::kCaptured);
  ASSERT_TRUE(b.Write({0x80, 0}));
  r = b.Read();
  ASSERT_EQ(r.size(), 64u);
  EXPECT_TRUE(std::equal(sig.begin(), sig.end(), r.begin()));
  EXPECT_FALSE(b.vb.Captured());  // part 0 cleared it
}

TEST(VirtualBoard, CodePacketIndex2Transmits) {
  Bench b;
  b.StartFirmware();
  std::vector<uint8_t> packets;
  for (uint8_t index = 0; index < 3; ++index) {
    packets.push_back(0x93);
    packets.push_back(index);
    for (int i = 0; i < 62; ++i) packets.push_back(index == 1 && i == 10 ? 0xFF : static_cast<uint8_t>(0x10 + index));
  }
  ASSERT_TRUE(b.Write(packets));  // 192 bytes: three packets of 64
  ASSERT_EQ(b.vb.Transmissions().size(), 1u);
  const auto& sent = b.vb.Transmissions()[0];
  ASSERT_EQ(sent.size(), 62u + 11);
  EXPECT_EQ(sent.front(), 0x10);
  EXPECT_EQ(sent.back(), 0xFF);
  // A packet cut short is dropped.
  ASSERT_TRUE(b.Write({0x93, 2, 1, 2, 3}));
  EXPECT_EQ(b.vb.Transmissions().size(), 1u);
}

TEST(VirtualBoard, OutletsFollowThePortCommandsOnceOutputsAreEnabled) {
  Bench b;
  b.StartFirmware();
  ASSERT_TRUE(b.Write({0x35, 1}));
  EXPECT_EQ(b.vb.Outlets(), (std::array<bool, 4>{false, false, false, false}));  // port C still an input
  ASSERT_TRUE(b.Write({0x3F, 0xFE}));
  ASSERT_TRUE(b.Write({0x0F}));  // outputs on with ~E high: every outlet holds
  EXPECT_EQ(b.vb.Outlets(), (std::array<bool, 4>{false, false, false, false}));
  ASSERT_TRUE(b.Write({0x35, 1, 0x37, 1}));
  EXPECT_EQ(b.vb.Outlets(), (std::array<bool, 4>{false, true, false, true}));
  ASSERT_TRUE(b.Write({0x37, 0}));
  EXPECT_EQ(b.vb.Outlets(), (std::array<bool, 4>{false, true, false, false}));
  ASSERT_TRUE(b.Write({0x3F, 0xFF}));  // ~E high: nothing changes
  EXPECT_EQ(b.vb.Outlets(), (std::array<bool, 4>{false, true, false, false}));
  b.vb.Pull();  // power lost: every relay drops
  EXPECT_EQ(b.vb.Outlets(), (std::array<bool, 4>{false, false, false, false}));
  EXPECT_EQ(b.vb.Open(0, b.now), -1);
  b.vb.Plug();
  EXPECT_GE(b.vb.Open(0, b.now), 0);
  EXPECT_EQ(b.vb.Press(std::vector<uint8_t>(16, 1), std::vector<uint8_t>(3, 1)), VirtualBoard::PressResult::kNoFirmware);
}

TEST(VirtualBoard, SignatureIsTheFirmwares) {
  // The same codes as the firmware's s51 test (firmware_sim_test.py), in 64 us units.
  struct Case {
    std::vector<uint8_t> code;
    std::vector<uint8_t> signature;
  };
  std::vector<uint8_t> longest = {80, 40};
  for (int i = 0; i < 47; ++i) longest.insert(longest.end(), {4, 4, 9, 9});
  longest.insert(longest.end(), {4, 0xFF});
  std::vector<uint8_t> longestSignature(16, 0x33);
  longestSignature[0] = 96;
  const Case cases[] = {
      // Leader 9 ms / 4.5 ms; marks 9 are short, spaces 26 long: bits 0001 0100 0.
      {{141, 70, 9, 9, 9, 26, 9, 26, 9, 9, 9, 0xFF}, {6, 0x14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {{50, 25, 5, 5, 5, 5, 5, 0xFF}, {4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {longest, longestSignature},  // 191 elements; 120 bits fit
  };
  for (const Case& c : cases) {
    auto s = SignatureOf(c.code);
    EXPECT_EQ(std::vector<uint8_t>(s.begin(), s.end()), c.signature);
  }
}

}  // namespace
}  // namespace halvik::board
