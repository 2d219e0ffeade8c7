#include "board/emulator/virtual_board.h"

#include <algorithm>
#include <cstdio>

#include "board/driver.h"

namespace halvik::board {
namespace {

uint32_t Get32(std::span<const uint8_t> b) {
  if (b.size() < 4) return 0xFFFFFFFF;
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

VirtualBoard::Result Fail() { return {}; }
VirtualBoard::Result Ok() { return {true, {}, 0}; }

}  // namespace

std::array<uint8_t, kSignatureSize> SignatureOf(std::span<const uint8_t> code) {
  std::array<uint8_t, kSignatureSize> sig{};
  size_t elements = 0;
  while (elements < code.size() && elements < kCaptureSize - 1 && code[elements] != 0xFF) ++elements;
  size_t marks = (elements + 1) / 2;
  sig[0] = static_cast<uint8_t>(std::clamp<size_t>(marks, 1, 255));
  uint8_t shortest[2] = {0xFF, 0xFF};
  for (size_t k = 2; k < elements; ++k) shortest[k & 1] = std::min(shortest[k & 1], code[k]);
  for (size_t k = 2, bit = 0; k < elements && bit < 120; ++k, ++bit) {
    if (code[k] >= 2 * shortest[k & 1]) sig[1 + bit / 8] |= static_cast<uint8_t>(0x80 >> (bit % 8));
  }
  return sig;
}

int VirtualBoard::Open(int index, int64_t nowMs) {
  ++openAttempts_;
  if (index != 0 || !Present(nowMs)) return -1;
  int handle = nextHandle_++;
  handles_[handle] = generation_;
  ++opens_;
  return handle;
}

void VirtualBoard::Close(int handle) { handles_.erase(handle); }

bool VirtualBoard::Alive(int handle, int64_t nowMs) const {
  auto it = handles_.find(handle);
  return it != handles_.end() && it->second == generation_ && Present(nowMs);
}

void VirtualBoard::PowerUp() {
  std::fill(ram_.begin(), ram_.end(), 0);
  cpuHeld_ = true;  // the default device holds the 8051 in reset
  downloaded_ = false;
  firmware_ = false;
  oec_ = 0;
  portC_ = 0x08;
  latchData_ = 0;
  latch_ = {};
  captured_ = false;
  replyArmed_ = false;
}

void VirtualBoard::Disconnect(int64_t nowMs, int awayMs) {
  ++generation_;
  backAtMs_ = nowMs + awayMs;
}

void VirtualBoard::Pull() {
  plugged_ = false;
  ++generation_;
  PowerUp();
}

void VirtualBoard::Plug() {
  if (plugged_) return;
  plugged_ = true;
  PowerUp();
}

VirtualBoard::Result VirtualBoard::Control(int handle, uint32_t code, std::span<const uint8_t> in,
                                           std::span<const uint8_t> out, int64_t nowMs) {
  if (!Alive(handle, nowMs)) return Fail();
  switch (code) {
    case kIoctlVendorRequest:
      return VendorRequest(in, nowMs);
    case kIoctlDownload:
      if (in.empty() || in.size() > ram_.size()) return Fail();
      std::copy(in.begin(), in.end(), ram_.begin());
      downloaded_ = true;
      ++downloads_;
      lastDownload_ = in.size();
      return Ok();
    case kIoctlGetString:
      return StringRequest(in, out);
    case kIoctlBulkWrite: {
      uint32_t pipe = Get32(in);
      if (!firmware_ || cpuHeld_ || pipe > 6) return Fail();
      if (pipe == 0) {
        for (size_t at = 0; at < out.size(); at += 64) CommandPacket(out.subspan(at, std::min<size_t>(64, out.size() - at)));
      }
      return {true, {}, static_cast<uint32_t>(out.size())};
    }
    case kIoctlBulkRead: {
      uint32_t pipe = Get32(in);
      // No reply prepared: the endpoint NAKs and the driver's request times out.
      if (!firmware_ || cpuHeld_ || pipe != 8 || !replyArmed_) return Fail();
      replyArmed_ = false;
      size_t n = std::min(out.size(), reply_.size());
      return {true, std::vector<uint8_t>(reply_.begin(), reply_.begin() + static_cast<long>(n)),
              static_cast<uint32_t>(n)};
    }
    default:
      return Fail();
  }
}

VirtualBoard::Result VirtualBoard::VendorRequest(std::span<const uint8_t> in, int64_t nowMs) {
  if (in.size() < 10 || in[0] != 0xA0 || in[8] != 0) return Fail();
  uint16_t address = static_cast<uint16_t>(in[2] | in[3] << 8);
  if (address == 0x7F92) {
    bool hold = (in[9] & 1) != 0;
    if (hold) {
      cpuHeld_ = true;
      firmware_ = false;
    } else if (cpuHeld_) {
      cpuHeld_ = false;
      if (downloaded_ && ram_[0] == 0x02) {
        // The firmware starts and re-enumerates: the board leaves the bus
        // for a moment and comes back as the device the firmware describes.
        firmware_ = true;
        oec_ = 0;
        portC_ = 0x08;
        captured_ = false;
        replyArmed_ = false;
        Disconnect(nowMs, renumerateMs_);
      }
    }
    return Ok();
  }
  if (address < ram_.size()) {
    ram_[address] = in[9];
    return Ok();
  }
  return Fail();
}

VirtualBoard::Result VirtualBoard::StringRequest(std::span<const uint8_t> in, std::span<const uint8_t> out) const {
  if (in.size() < 4) return Fail();
  std::string text;
  if (firmware_ && !cpuHeld_) {
    if (in[0] == 1) text = "GPFW";
    else if (in[0] == 2) text = "V100";
    else return Fail();  // the firmware stalls other indexes
  }
  // The default device has no strings: an empty descriptor.
  std::vector<uint8_t> d = {static_cast<uint8_t>(2 + 2 * text.size()), 3};
  for (char c : text) {
    d.push_back(static_cast<uint8_t>(c));
    d.push_back(0);
  }
  d.resize(std::min(d.size(), out.size()));
  uint32_t n = static_cast<uint32_t>(d.size());
  return {true, std::move(d), n};
}

void VirtualBoard::CommandPacket(std::span<const uint8_t> p) {
  size_t i = 0, n = p.size();
  while (i < n) {
    uint8_t c = p[i++];
    switch (c >> 4) {
      case 0x0:
        oec_ = c;
        UpdateLatch();
        break;
      case 0x3:
        if (i >= n) return;
        PortCommand(c & 0x0F, p[i++]);
        break;
      case 0x8:
        if (i >= n) return;
        PrepareRead(p[i++]);
        break;
      case 0x9: {
        if (i + 63 > n) return;
        uint8_t index = p[i];
        size_t from = index == 0 ? 0 : index == 1 ? 62 : 124;
        std::copy_n(p.begin() + static_cast<long>(i) + 1, 62, transmit_.begin() + static_cast<long>(from));
        i += 63;
        if (index == 2) {
          auto end = std::find(transmit_.begin(), transmit_.end(), 0xFF);
          transmissions_.emplace_back(transmit_.begin(), end == transmit_.end() ? end : end + 1);
        }
        break;
      }
      case 0xF:
        ++i;
        break;
      default:
        break;
    }
  }
}

void VirtualBoard::PortCommand(uint8_t n, uint8_t operand) {
  portC_ |= 0x08;  // hold first, as the firmware does
  UpdateLatch();
  latchData_ = operand & 1;
  portC_ = static_cast<uint8_t>((portC_ & 0xF0) | n);
  UpdateLatch();
}

void VirtualBoard::UpdateLatch() {
  // Pins that are not outputs float; the pull-up on ~E then holds the latch.
  bool enabled = (oec_ & 0x08) && !(portC_ & 0x08) && (oec_ & 0x07) == 0x07;
  if (enabled) latch_[portC_ & 0x07] = latchData_ != 0;
}

void VirtualBoard::PrepareRead(uint8_t part) {
  ++polls_;
  if (part == 0 && captured_) {
    std::copy(signature_.begin(), signature_.end(), reply_.begin());
    captured_ = false;
  } else if (part >= 1 && part <= 3 && captured_) {
    std::copy_n(capture_.begin() + (part - 1) * 64, 64, reply_.begin());
    if (part == 3) captured_ = false;
  } else {
    reply_[0] = 0;  // the rest of the buffer keeps the previous reply
  }
  replyArmed_ = true;
}

VirtualBoard::PressResult VirtualBoard::Press(std::span<const uint8_t> signature, std::span<const uint8_t> code) {
  if (!plugged_ || !firmware_ || cpuHeld_) return PressResult::kNoFirmware;
  if (captured_) return PressResult::kBusy;  // the firmware captures only once the last one was read
  signature_ = {};
  std::copy_n(signature.begin(), std::min(signature.size(), signature_.size()), signature_.begin());
  capture_ = {};
  size_t n = std::min(code.size(), capture_.size() - 1);
  std::copy_n(code.begin(), n, capture_.begin());
  if (std::find(capture_.begin(), capture_.begin() + static_cast<long>(n), 0xFF) == capture_.begin() + static_cast<long>(n)) {
    capture_[n] = 0xFF;
  }
  captured_ = true;
  return PressResult::kCaptured;
}

std::array<bool, 4> VirtualBoard::Outlets() const { return {latch_[4], latch_[5], latch_[6], latch_[7]}; }

std::string VirtualBoard::Status(int64_t nowMs) const {
  char text[256];
  std::snprintf(text, sizeof text,
                "plugged=%d present=%d firmware=%d opens=%d attempts=%d downloads=%d image=%zu oec=%02X portc=%02X captured=%d "
                "sent=%zu polls=%d",
                plugged_ ? 1 : 0, Present(nowMs) ? 1 : 0, firmware_ ? 1 : 0, opens_, openAttempts_, downloads_, lastDownload_, oec_,
                portC_, captured_ ? 1 : 0, transmissions_.size(), polls_);
  return text;
}

}  // namespace halvik::board
