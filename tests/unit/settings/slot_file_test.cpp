#include "settings/slot_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "settings/file_io.h"

namespace halvik::settings {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Image(const char* file, const Slots& slots) {
  Bytes image;
  EXPECT_TRUE(BuildSlotImage(ShapeOf(file), slots, image));
  return image;
}

Bytes HeaderThen(std::initializer_list<uint8_t> body) {
  Bytes b{1, 0, 0, 0, 0, 0, 0, 0};
  b.insert(b.end(), body);
  return b;
}

TEST(SlotFile, CompiledLiteralsAreCp932) {
  // "○" is 0x81 0x9B in CP932 (three bytes in UTF-8).
  std::string_view mark = "○";
  ASSERT_EQ(mark.size(), 2u);
  EXPECT_EQ(static_cast<uint8_t>(mark[0]), 0x81);
  EXPECT_EQ(static_cast<uint8_t>(mark[1]), 0x9B);
}

TEST(SlotFile, EmptyFileIsHeaderAndHundredZeros) {
  Bytes image = Image("cmdsnd.bin", Slots{});
  ASSERT_EQ(image.size(), 108u);
  EXPECT_EQ(image[0], 1);
  for (size_t i = 1; i < image.size(); ++i) EXPECT_EQ(image[i], 0) << i;
}

TEST(SlotFile, GoldenBytesOfOneSlotWithEmptyLaterFields) {
  Slots slots;
  slots[0] = {"A", "", ""};
  Bytes image = Image("pwrsnd.bin", slots);
  Bytes expected = HeaderThen({0x01, 0x41, 0x00, 0x00, 0x00, 0x00, 0x00});
  expected.insert(expected.end(), 99, 0);
  EXPECT_EQ(image, expected);
}

TEST(SlotFile, WideThirdFieldOfIrSendFile) {
  Slots slots;
  slots[1] = {"TV", "", std::string(300, 'F')};
  Bytes image = Image("rmtsnd.bin", slots);
  // slot 0 empty, then 02 'T' 'V' 00, 00 00, then 2C 01 (300 little-endian).
  Bytes head = HeaderThen({0x00, 0x02, 'T', 'V', 0x00, 0x00, 0x00, 0x2C, 0x01, 'F'});
  ASSERT_GE(image.size(), head.size());
  EXPECT_EQ(Bytes(image.begin(), image.begin() + static_cast<long>(head.size())), head);
  EXPECT_EQ(image.size(), 8u + 1 + 4 + 2 + 3 + 300 + 98);
  EXPECT_EQ(ParseSlotImage(ShapeOf("rmtsnd.bin"), image)[1][2], std::string(300, 'F'));
}

TEST(SlotFile, SingleRecordGoldenBytes) {
  Bytes image;
  ASSERT_TRUE(BuildRecordImage(ShapeOf("netrcvd.bin"), {"127.0.0.1", "act="}, image));
  Bytes expected = HeaderThen({9, '1', '2', '7', '.', '0', '.', '0', '.', '1', 0, 4, 'a', 'c', 't', '=', 0});
  EXPECT_EQ(image, expected);
  EXPECT_EQ(ParseRecordImage(ShapeOf("netrcvd.bin"), image), (Record{"127.0.0.1", "act="}));
}

TEST(SlotFile, EmptyFirstFieldDropsTheSlot) {
  Slots slots;
  slots[5] = {"", "B", "C"};
  Slots back = ParseSlotImage(ShapeOf("pwrsnd.bin"), Image("pwrsnd.bin", slots));
  EXPECT_FALSE(SlotIsFilled(back[5]));
  EXPECT_EQ(Image("pwrsnd.bin", slots).size(), 108u);
}

TEST(SlotFile, RoundTripOfEveryShape) {
  for (const FileShape& shape : AllFileShapes()) {
    SCOPED_TRACE(shape.name);
    Record record;
    for (int f = 0; f < shape.fields; ++f) record.push_back("f" + std::to_string(f) + "値");
    Bytes image;
    if (shape.layout == Layout::kSingleRecord) {
      ASSERT_TRUE(BuildRecordImage(shape, record, image));
      EXPECT_EQ(ParseRecordImage(shape, image), record);
    } else {
      Slots slots;
      slots[0] = record;
      slots[37] = record;
      slots[99] = record;
      ASSERT_TRUE(BuildSlotImage(shape, slots, image));
      EXPECT_EQ(ParseSlotImage(shape, image), slots);
    }
  }
}

TEST(SlotFile, TolerantReading) {
  Slots slots;
  slots[0] = {"A", "B", "C"};
  slots[50] = {"D", "E", "F"};
  Bytes full = Image("pwrsnd.bin", slots);
  const FileShape& shape = ShapeOf("pwrsnd.bin");

  EXPECT_EQ(ParseSlotImage(shape, HeaderThen({})), Slots{}) << "header only";
  EXPECT_EQ(ParseSlotImage(shape, Bytes{}), Slots{}) << "empty file";

  Bytes stale = full;
  stale.insert(stale.end(), {7, 'g', 'a', 'r', 'b', 'a', 'g', 'e', 0, 3});
  EXPECT_EQ(ParseSlotImage(shape, stale), slots) << "stale tail";

  Bytes shortFile(full.begin(), full.begin() + 20);  // slot 0 and a few empty slots
  Slots shortRead = ParseSlotImage(shape, shortFile);
  EXPECT_EQ(shortRead[0], slots[0]);
  EXPECT_FALSE(SlotIsFilled(shortRead[50]));

  // A field cut off by the end of the data reads the bytes that are there.
  Bytes torn = HeaderThen({5, 'a', 'b'});
  EXPECT_EQ(ParseSlotImage(shape, torn)[0], (Record{"ab", "", ""}));
}

TEST(SlotFile, OversizedFileReadsOnlyItsLargestSize) {
  // 100 slots of 3 fields of 25 bytes need 8100 bytes: more than pwrsnd.bin's
  // 6400, so the writer refuses and the reader of such a file stops at 6400.
  Slots slots;
  for (Record& r : slots) r = {std::string(25, 'x'), std::string(25, 'y'), std::string(25, 'z')};
  Bytes image;
  EXPECT_FALSE(BuildSlotImage(ShapeOf("pwrsnd.bin"), slots, image));
  EXPECT_TRUE(image.empty());

  // A file written that large by some other hand: 8 + 100 * 81 bytes.
  Bytes big = HeaderThen({});
  for (const Record& r : slots) {
    for (const std::string& f : r) {
      big.push_back(static_cast<uint8_t>(f.size()));
      big.insert(big.end(), f.begin(), f.end());
      big.push_back(0);
    }
  }
  ASSERT_EQ(big.size(), 8108u);
  Slots read = ParseSlotImage(ShapeOf("pwrsnd.bin"), big);
  // Slot i spans 8 + 81 i .. 8 + 81 (i + 1): slots 0-77 end within 6400 bytes.
  EXPECT_EQ(read[77], slots[77]);
  EXPECT_NE(read[78], slots[78]);
  EXPECT_FALSE(SlotIsFilled(read[79]));
}

TEST(SlotFile, FieldTooLongIsRefused) {
  Slots slots;
  slots[0] = {std::string(256, 'a'), "", ""};
  Bytes image;
  EXPECT_FALSE(BuildSlotImage(ShapeOf("cmdsnd.bin"), slots, image));
  slots[0] = {std::string(255, 'a'), "", ""};
  EXPECT_TRUE(BuildSlotImage(ShapeOf("cmdsnd.bin"), slots, image));
}

TEST(SlotFile, RegistrationNumbers) {
  EXPECT_EQ(RegistrationText(0), "000");
  EXPECT_EQ(RegistrationText(ShapeOf("mailsnd.bin").base + 37), "237");
  EXPECT_EQ(RegistrationText(899), "899");
}

// A disk whose write or move fails on request.
class FailingDisk : public FileSystem {
 public:
  bool failWrite = false;
  bool failMove = false;
  int ReadAtMost(const std::string& p, size_t n, Bytes& b) override { return RealFileSystem().ReadAtMost(p, n, b); }
  int WriteNew(const std::string& p, const Bytes& b) override {
    if (failWrite) {
      // A write that dies half-way leaves a torn temporary file.
      Bytes half(b.begin(), b.begin() + static_cast<long>(b.size() / 2));
      (void)RealFileSystem().WriteNew(p, half);
      return -1;
    }
    return RealFileSystem().WriteNew(p, b);
  }
  int MoveReplacing(const std::string& f, const std::string& t) override {
    return failMove ? -1 : RealFileSystem().MoveReplacing(f, t);
  }
  void Remove(const std::string& p) override { RealFileSystem().Remove(p); }
};

class SlotFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("halvik-slot-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    folder_ = dir_.string() + "/";
  }
  void TearDown() override {
    SetFileSystemForTest(nullptr);
    std::filesystem::remove_all(dir_);
  }
  Bytes FileBytes(const char* name) {
    std::ifstream in(folder_ + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  std::filesystem::path dir_;
  std::string folder_;
};

TEST_F(SlotFileOnDisk, MissingFiles) {
  EXPECT_EQ(ReadSlotFile(folder_, ShapeOf("timrcv.bin")), Slots{});
  Record record{"keep"};
  EXPECT_EQ(ReadRecordFile(folder_, ShapeOf("setmail.bin"), record), -1);
  EXPECT_EQ(record, Record{"keep"});
}

TEST_F(SlotFileOnDisk, WriteThenReadBack) {
  Slots slots;
  slots[3] = {"○", "401", "210/5,801", "comment"};
  ASSERT_EQ(WriteSlotFile(folder_, ShapeOf("setio.bin"), slots), 0);
  EXPECT_EQ(ReadSlotFile(folder_, ShapeOf("setio.bin")), slots);
  EXPECT_EQ(FileBytes("setio.bin"), Image("setio.bin", slots));
  // Rewriting shorter leaves no stale bytes behind.
  ASSERT_EQ(WriteSlotFile(folder_, ShapeOf("setio.bin"), Slots{}), 0);
  EXPECT_EQ(FileBytes("setio.bin").size(), 108u);
}

TEST_F(SlotFileOnDisk, FailedWriteLeavesTheOldFile) {
  Slots old;
  old[0] = {"old", "", ""};
  ASSERT_EQ(WriteSlotFile(folder_, ShapeOf("pwrsnd.bin"), old), 0);
  Bytes before = FileBytes("pwrsnd.bin");

  Slots changed;
  changed[0] = {"new", "", ""};
  FailingDisk disk;
  SetFileSystemForTest(&disk);
  for (int step = 0; step < 2; ++step) {
    disk.failWrite = step == 0;
    disk.failMove = step == 1;
    EXPECT_EQ(WriteSlotFile(folder_, ShapeOf("pwrsnd.bin"), changed), -1);
    EXPECT_EQ(FileBytes("pwrsnd.bin"), before) << "step " << step;
    EXPECT_FALSE(std::filesystem::exists(folder_ + "pwrsnd.bin.new")) << "step " << step;
  }
  // Contents that do not fit change nothing on disk either.
  SetFileSystemForTest(nullptr);
  Slots huge;
  for (Record& r : huge) r = {std::string(60, 'x'), "", ""};
  EXPECT_EQ(WriteSlotFile(folder_, ShapeOf("pwrsnd.bin"), huge), -1);
  EXPECT_EQ(FileBytes("pwrsnd.bin"), before);
}

}  // namespace
}  // namespace halvik::settings
