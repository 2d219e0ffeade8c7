#include "board/access.h"

#include <algorithm>

namespace halvik::board {

std::array<uint8_t, 10> VendorRequestRecord(uint8_t data) {
  return {0xA0, 0, kCpuControlRegister & 0xFF, kCpuControlRegister >> 8, 0, 0, 1, 0, 0, data};
}

std::array<uint8_t, 4> StringRequestRecord(uint8_t index) {
  return {index, 0, kStringLanguage & 0xFF, kStringLanguage >> 8};
}

std::string StringDescriptorText(std::span<const uint8_t> reply) {
  std::string text;
  if (reply.empty()) return text;
  size_t characters = reply[0] / 2 >= 1 ? reply[0] / 2 - 1 : 0;
  // Character i sits at bytes 2 + 2i (low) and 3 + 2i (high).
  for (size_t i = 0; i < characters && 2 + 2 * i < reply.size(); ++i) {
    text.push_back(static_cast<char>(reply[2 + 2 * i]));
  }
  return text;
}

std::string CheckText(std::string_view localTime) {
  if (localTime.size() < 3) return {};
  return std::string(localTime.substr(3, 4));
}

Board::Board(Driver& driver, BoardHost& host, std::span<const uint8_t> image)
    : driver_(driver), host_(host), image_(image.begin(), image.end()) {
  image_.resize(kFirmwareSize, 0);
}

int Board::OpenDevice(int index) { return driver_.Open(index); }

void Board::CloseDevice() { driver_.Close(); }

int Board::VendorRequest(uint8_t data, std::string_view error) {
  std::array<uint8_t, 10> record = VendorRequestRecord(data);
  size_t returned = 0;
  if (driver_.Control(kIoctlVendorRequest, record, {}, returned) != 0) {
    host_.ShowError(error);
    return -1;
  }
  return 0;
}

int Board::Halt() { return VendorRequest(1, kHaltError); }

int Board::Run() { return VendorRequest(0, kRunError); }

int Board::Download(std::span<const uint8_t> image) {
  size_t returned = 0;
  if (driver_.Control(kIoctlDownload, image, {}, returned) != 0) {
    host_.ShowError(kDownloadError);
    return -1;
  }
  return 0;
}

int Board::GetString(int index, std::string& text) {
  std::array<uint8_t, 4> record = StringRequestRecord(static_cast<uint8_t>(index));
  std::array<uint8_t, kStringReplySize> reply{};
  size_t returned = 0;
  if (driver_.Control(kIoctlGetString, record, reply, returned) != 0) {
    host_.ShowError(kStringError);
    return -1;
  }
  text = StringDescriptorText(std::span<const uint8_t>(reply).first(std::min(returned, reply.size())));
  return 0;
}

int Board::BulkWrite(uint32_t pipe, std::span<const uint8_t> bytes) {
  std::array<uint8_t, 4> pipeRecord = {static_cast<uint8_t>(pipe), static_cast<uint8_t>(pipe >> 8),
                                       static_cast<uint8_t>(pipe >> 16), static_cast<uint8_t>(pipe >> 24)};
  for (size_t done = 0; done < bytes.size();) {
    size_t chunk = std::min(kBulkChunk, bytes.size() - done);
    // The driver reads the data from its output buffer; it never writes it.
    std::span<uint8_t> data(const_cast<uint8_t*>(bytes.data()) + done, chunk);
    size_t returned = 0;
    if (driver_.Control(kIoctlBulkWrite, pipeRecord, data, returned) != 0) {
      host_.ShowError(kBulkWriteError);
      return -1;
    }
    done += chunk;
  }
  return 0;
}

long Board::BulkRead(uint32_t pipe, std::span<uint8_t> buffer) {
  std::array<uint8_t, 4> pipeRecord = {static_cast<uint8_t>(pipe), static_cast<uint8_t>(pipe >> 8),
                                       static_cast<uint8_t>(pipe >> 16), static_cast<uint8_t>(pipe >> 24)};
  size_t total = 0;
  while (total < buffer.size()) {
    size_t chunk = std::min(kBulkChunk, buffer.size() - total);
    size_t returned = 0;
    if (driver_.Control(kIoctlBulkRead, pipeRecord, buffer.subspan(total, chunk), returned) != 0) {
      host_.ShowError(kBulkReadError);
      return -1;
    }
    total += std::min(returned, chunk);
    // A short packet ends the transfer: asking again would wait for data
    // the board does not have.
    if (returned < chunk) break;
  }
  return static_cast<long>(total);
}

int Board::LoadFirmware(int index, std::span<const uint8_t> image, std::string_view text1,
                        std::string_view text2) {
  if (OpenDevice(index) != 0) return -1;
  std::string descriptor1, descriptor2;
  if (GetString(1, descriptor1) != 0 || GetString(2, descriptor2) != 0) {
    CloseDevice();
    return -1;
  }
  if (descriptor1 == text1 && descriptor2 == text2) return 0;
  if (Halt() != 0 || Download(image) != 0 || Run() != 0) {
    CloseDevice();
    return -1;
  }
  // The board now disconnects and comes back as the device the image describes.
  CloseDevice();
  for (int attempt = 0; attempt < kReopenAttempts; ++attempt) {
    host_.Sleep(kReopenWaitMs);
    if (OpenDevice(index) == 0) return 0;
  }
  host_.Log(1, kReopenGaveUpText);
  return -1;
}

int Board::Initialise() {
  std::lock_guard<std::mutex> lock(initMutex_);
  return InitialiseLocked();
}

int Board::EnsureOpen() {
  std::lock_guard<std::mutex> lock(initMutex_);
  if (open_.load()) return 0;
  return InitialiseLocked();
}

int Board::InitialiseLocked() {
  host_.DebugOutput("InitStart\n");
  std::string check = CheckText(host_.LocalTimeText());
  std::vector<uint8_t> image = image_;
  host_.OverrideImage(image);
  while (LoadFirmware(0, image, kManufacturerText, check) != 0) {
    switch (host_.AskRetry(kRetryText)) {
      case RetryAnswer::kYes:
        continue;
      case RetryAnswer::kCancel:
        host_.CloseMainWindow();
        return -1;
      case RetryAnswer::kNo:
        return -1;
    }
  }
  bool ok = SendCommand(kStartupCommands) == 0;
  std::string_view result = ok ? kBoardReadyText : kBoardNotReadyText;
  host_.ShowStatus(result);
  host_.Log(ok ? 0 : 1, result);
  open_.store(true);
  return 0;
}

bool Board::DevicePresent() {
  std::lock_guard<std::mutex> lock(initMutex_);
  if (open_.load()) return true;
  if (OpenDevice(0) != 0) return false;
  CloseDevice();
  return true;
}

void Board::CloseBoard() {
  if (open_.exchange(false)) CloseDevice();
}

}  // namespace halvik::board
