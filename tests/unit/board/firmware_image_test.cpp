#include "board/firmware_image.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace halvik::board {
namespace {

TEST(FirmwareImage, FitsIn4096BytesAndStartsWithALongJump) {
  EXPECT_LE(kFirmwareUsedBytes, 4096u);
  EXPECT_GT(kFirmwareUsedBytes, 256u);
  EXPECT_EQ(kFirmwareImage[0], 0x02);
  uint16_t target = static_cast<uint16_t>(kFirmwareImage[1] << 8 | kFirmwareImage[2]);
  EXPECT_LT(target, kFirmwareUsedBytes);
  EXPECT_TRUE(std::all_of(kFirmwareImage.begin() + static_cast<long>(kFirmwareUsedBytes), kFirmwareImage.end(),
                          [](uint8_t b) { return b == 0; }));
}

TEST(FirmwareImage, CarriesTheDescriptorsTheHostExpects) {
  // The device descriptor: USB 1.0, EP0 packet 64, 0547:2131 release 0001.
  const uint8_t device[] = {18, 1, 0x00, 0x01, 0, 0, 0, 64, 0x47, 0x05, 0x31, 0x21, 0x01, 0x00, 1, 2, 0, 1};
  auto at = std::search(kFirmwareImage.begin(), kFirmwareImage.end(), std::begin(device), std::end(device));
  ASSERT_NE(at, kFirmwareImage.end());
  EXPECT_EQ((at - kFirmwareImage.begin()) % 2, 0);
  // Configuration: 116 bytes in all, bus powered with remote wake-up, 500 mA; 14 endpoints.
  const uint8_t config[] = {9, 2, 116, 0, 1, 1, 0, 0xA0, 250, 9, 4, 0, 0, 14, 0xFF};
  EXPECT_NE(std::search(kFirmwareImage.begin(), kFirmwareImage.end(), std::begin(config), std::end(config)),
            kFirmwareImage.end());
  const uint8_t strings[] = {10, 3, 'G', 0, 'P', 0, 'F', 0, 'W', 0, 10, 3, 'V', 0, '1', 0, '0', 0, '0', 0};
  EXPECT_NE(std::search(kFirmwareImage.begin(), kFirmwareImage.end(), std::begin(strings), std::end(strings)),
            kFirmwareImage.end());
}

}  // namespace
}  // namespace halvik::board
