#include "tools/settings_tool/settings_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "settings/password.h"
#include "tests/unit/tools/u8.h"
#include "tools/settings_tool/tool.h"

namespace halvik::tools {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<char>;

Bytes ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::map<std::string, Bytes> Files(const fs::path& dir) {
  std::map<std::string, Bytes> files;
  for (const auto& e : fs::directory_iterator(dir)) files[e.path().filename().string()] = ReadAll(e.path());
  return files;
}

fs::path DemoFolder() {
  const char* source = std::getenv("HALVIK_SOURCE_DIR");
  return fs::path(source ? source : ".") / "tests" / "fixtures" / "demo";
}

class TempFolder {
 public:
  TempFolder() {
    path_ = fs::temp_directory_path() / ("halvik-tools-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempFolder() { fs::remove_all(path_); }
  const fs::path& Path() const { return path_; }
  std::string Folder() const { return path_.string() + "/"; }

 private:
  fs::path path_;
};

int RunTool(std::vector<std::string> args, const std::string& input, ToolIo& io) {
  io.readInput = [input](std::string& text, size_t) {
    text = input;
    return true;
  };
  return RunSettingsTool(args, io);
}

TEST(SettingsFolder, ExportThenImportReproducesTheDemoFilesByteForByte) {
  for (const char* option : {"", "--decode-passwords"}) {
    ToolIo exported;
    std::vector<std::string> args{"export", DemoFolder().string()};
    if (*option) args.push_back(option);
    ASSERT_EQ(RunTool(args, "", exported), 0) << exported.err;
    EXPECT_EQ(exported.err, "");
    TempFolder out;
    ToolIo imported;
    ASSERT_EQ(RunTool({"import", out.Path().string()}, exported.out, imported), 0) << imported.err;
    std::map<std::string, Bytes> demo = Files(DemoFolder());
    demo.erase("demo.json");
    EXPECT_EQ(demo.size(), 17u);
    EXPECT_EQ(Files(out.Path()), demo) << option;
  }
}

TEST(SettingsFolder, DemoJsonIsWhatExportWithDecodedPasswordsGives) {
  ToolIo io;
  ASSERT_EQ(RunTool({"export", DemoFolder().string(), "--decode-passwords"}, "", io), 0) << io.err;
  Bytes json = ReadAll(DemoFolder() / "demo.json");
  EXPECT_EQ(io.out, std::string(json.begin(), json.end()));
}

struct BadImport {
  std::u8string json;
  std::u8string error;  // one of the messages
};

TEST(SettingsFolder, BadDocumentsAreRefusedWithAClearError) {
  std::u8string field256(128, u8'\0');
  field256.clear();
  for (int i = 0; i < 128; ++i) field256 += u8"あ";  // 384 bytes of UTF-8, 256 of CP932
  std::u8string field255(255, u8'a');
  std::u8string ir65536(65536, u8'A');
  std::u8string password120(120, u8'p');
  std::u8string bigRules = u8"{\"setio.bin\": {";
  for (int i = 0; i < 100; ++i) {
    char number[8];
    std::snprintf(number, sizeof number, "%03d", i);
    if (i) bigRules += u8",";
    bigRules += u8"\"" + std::u8string(number, number + 3) + u8"\": [\"○\", \"300\", \"300\", \"" +
                std::u8string(120, u8'c') + u8"\"]";
  }
  bigRules += u8"}}";
  const BadImport cases[] = {
      {u8"{\"setio.bin\": {\"000\": [\"○\", \"1\", \"2\", \"x\",]}}", u8"not valid JSON: a comma before ']' (line 1, column 43)"},
      {u8"[]", u8"the document is an array, not an object of settings files"},
      {u8"{\"foo.bin\": {}}", u8"\"foo.bin\" is not the name of a settings file"},
      {u8"{\"passwords\": \"clear\"}", u8"\"passwords\" is \"encoded\" or \"plain\""},
      {u8"{\"setio.bin\": []}", u8"setio.bin: is an array, not an object of registration numbers"},
      {u8"{\"mailsnd.bin\": {\"37\": [\"a\", \"b\", \"c\"]}}", u8"mailsnd.bin: \"37\" is not one of its registration numbers (200 to 299)"},
      {u8"{\"mailsnd.bin\": {\"300\": [\"a\", \"b\", \"c\"]}}", u8"mailsnd.bin: \"300\" is not one of its registration numbers (200 to 299)"},
      {u8"{\"setio.bin\": {\"000\": [\"○\", \"1\", \"2\"]}}", u8"setio.bin 000: has 3 fields; the file's records have 4"},
      {u8"{\"setio.bin\": {\"000\": \"○\"}}", u8"setio.bin 000: is a string, not an array of 4 fields"},
      {u8"{\"setio.bin\": {\"000\": [\"○\", 300, \"2\", \"x\"]}}", u8"setio.bin 000 field 2: is a number, not a string"},
      {u8"{\"setio.bin\": {\"005\": [\"\", \"1\", \"2\", \"x\"]}}", u8"setio.bin 005 field 1: is empty; the slot would be stored empty and its other fields lost"},
      {u8"{\"cmdsnd.bin\": {\"300\": [\"a\", \"〜\", \"c\"]}}", u8"cmdsnd.bin 300 field 2: the character U+301C cannot be written in CP932; write U+FF5E (～) instead"},
      {u8"{\"cmdsnd.bin\": {\"300\": [\"a\", \"\\u0000\", \"c\"]}}", u8"cmdsnd.bin 300 field 2: holds a zero character, which ends a field"},
      {u8"{\"cmdsnd.bin\": {\"300\": [\"a\", \"" + field256 + u8"\", \"c\"]}}", u8"cmdsnd.bin 300 field 2: 256 bytes in CP932; a field holds at most 255"},
      {u8"{\"rmtsnd.bin\": {\"100\": [\"a\", \"b\", \"" + ir65536 + u8"\"]}}", u8"rmtsnd.bin 100 field 3: 65536 bytes in CP932; a field holds at most 65535"},
      {u8"{\"rmtsnd.bin\": {\"100\": [\"" + field256 + u8"\", \"b\", \"c\"]}}", u8"rmtsnd.bin 100 field 1: 256 bytes in CP932; a field holds at most 255"},
      {u8"{\"passwords\": \"plain\", \"setmail.bin\": [\"a\", \"b\", \"c\", \"" + password120 + u8"\", \"e\", \"f\"]}",
       u8"setmail.bin field 4: a password of 120 bytes; at most 119 can be stored"},
      {bigRules, u8"setio.bin: would take 13608 bytes; the file holds at most 12800"},
      {u8"{\"setmail.bin\": [\"" + field255 + u8"\", \"" + field255 + u8"\", \"" + field255 + u8"\", \"" + field255 +
           u8"\", \"e\", \"f\"]}",
       u8"setmail.bin: would take 1042 bytes; the file holds at most 1024"},
  };
  for (const BadImport& c : cases) {
    SettingsFolder plan;
    std::vector<std::string> errors;
    EXPECT_FALSE(PlanImport(U8(c.json.c_str()), plan, errors)) << U8(c.error.c_str());
    std::string all;
    for (const std::string& e : errors) all += e + "\n";
    EXPECT_NE(all.find(U8(c.error.c_str())), std::string::npos) << "expected " << U8(c.error.c_str()) << "\ngot " << all;
  }
}

TEST(SettingsFolder, LongestFieldsThatFitAreStored) {
  std::u8string field255(255, u8'a');
  // 8 header bytes, "a" and "" and the IR code with its 2-byte length, 99 empty slots.
  std::u8string ir65421(65421, u8'A');
  SettingsFolder plan;
  std::vector<std::string> errors;
  ASSERT_TRUE(PlanImport(U8((u8"{\"rmtsnd.bin\": {\"100\": [\"a\", \"\", \"" + ir65421 + u8"\"]}}").c_str()),
                         plan, errors))
      << errors[0];
  EXPECT_EQ(plan.slots["rmtsnd.bin"][0][2].size(), 65421u);
  EXPECT_EQ(SlotImageSize(settings::ShapeOf("rmtsnd.bin"), plan.slots["rmtsnd.bin"]), 65536u);
  ir65421 += u8"A";
  EXPECT_FALSE(PlanImport(U8((u8"{\"rmtsnd.bin\": {\"100\": [\"a\", \"\", \"" + ir65421 + u8"\"]}}").c_str()), plan, errors));
}

TEST(SettingsFolder, BadInputWritesNothing) {
  TempFolder out;
  std::ofstream(out.Path() / "cmdsnd.bin", std::ios::binary) << "old";
  // The first file is good; the second is not: neither is written.
  std::string json = U8(u8"{\"setio.bin\": {\"000\": [\"○\", \"300\", \"300\", \"\"]},"
                        u8" \"cmdsnd.bin\": {\"300\": [\"a\", \"\U0001F600\", \"c\"]}}");
  ToolIo io;
  EXPECT_EQ(RunTool({"import", out.Path().string()}, json, io), 1);
  EXPECT_NE(io.err.find("cmdsnd.bin 300 field 2: the character U+1F600 cannot be written in CP932"), std::string::npos)
      << io.err;
  EXPECT_NE(io.err.find("nothing written"), std::string::npos);
  std::map<std::string, Bytes> files = Files(out.Path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files["cmdsnd.bin"], (Bytes{'o', 'l', 'd'}));
}

TEST(SettingsFolder, ImportWritesOnlyTheNamedFilesInTheEditorsLayout) {
  TempFolder out;
  std::ofstream(out.Path() / "pwrsnd.bin", std::ios::binary) << "keep";
  ToolIo io;
  ASSERT_EQ(RunTool({"import", out.Path().string()}, U8(u8"{\"cmdsnd.bin\": {\"301\": [\"再起動\", \"\", \"\"]}, \"netrcvd.bin\": [\"1.2.3.4\", \"\"]}"), io), 0)
      << io.err;
  std::map<std::string, Bytes> files = Files(out.Path());
  EXPECT_EQ(files.size(), 3u);
  EXPECT_EQ(files["pwrsnd.bin"], (Bytes{'k', 'e', 'e', 'p'}));
  Bytes cmd = files["cmdsnd.bin"];
  // Header, empty slot 0, then slot 1: "再起動" (6 bytes) and two empty fields, then 98 empty slots.
  Bytes expected{1, 0, 0, 0, 0, 0, 0, 0, 0, 6};
  for (char c : std::string("再起動")) expected.push_back(c);
  expected.insert(expected.end(), {0, 0, 0, 0, 0});
  expected.insert(expected.end(), 98, 0);
  EXPECT_EQ(cmd, expected);
  EXPECT_EQ(files["netrcvd.bin"], (Bytes{1, 0, 0, 0, 0, 0, 0, 0, 7, '1', '.', '2', '.', '3', '.', '4', 0, 0, 0}));
}

TEST(SettingsFolder, PlainPasswordsAreEncipheredAndEmptyStaysEmpty) {
  SettingsFolder plan;
  std::vector<std::string> errors;
  ASSERT_TRUE(PlanImport(U8(u8"{\"passwords\": \"plain\", \"setmail.bin\": [\"a\", \"b\", \"c\", \"秘密\", \"e\", \"f\"],"
                            u8" \"ftpsnd.bin\": {\"400\": [\"s\", \"u\", \"\", \"a\", \"b\", \"Y\", \"Y\", \"N\"]}}"),
                         plan, errors));
  EXPECT_EQ(plan.records["setmail.bin"][3], settings::EncodePassword("秘密"));
  EXPECT_EQ(plan.slots["ftpsnd.bin"][0][2], "");
}

TEST(SettingsFolder, FieldsThatCannotBeExportedExactlyStopTheExport) {
  struct Case {
    std::string cp932;
    const char* error;
  };
  const Case cases[] = {
      {"a\x82", "cmdsnd.bin 300 field 2: byte 1 is not CP932 text, so the field cannot be exported exactly"},
      {"\xEE\xF9", "cmdsnd.bin 300 field 2: holds a second code of a CP932 character (no editor writes it)"},
  };
  for (const Case& c : cases) {
    SettingsFolder folder;
    folder.slots["cmdsnd.bin"][0] = {"再起動", c.cp932, ""};
    std::string json = "untouched";
    std::vector<std::string> errors;
    EXPECT_FALSE(ExportJson(folder, {}, json, errors));
    EXPECT_EQ(json, "untouched");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find(c.error), std::string::npos) << errors[0];
  }
  SettingsFolder folder;
  folder.records["setmail.bin"] = {"a", "b", "c", "0123456789abcdef", "e", "f"};
  std::string json;
  std::vector<std::string> errors;
  EXPECT_FALSE(ExportJson(folder, {true}, json, errors));
  ASSERT_GE(errors.size(), 1u);
  EXPECT_EQ(errors[0], "setmail.bin field 4: the stored password is not as the editor enciphers it; export it without "
                       "--decode-passwords");
  errors.clear();
  EXPECT_TRUE(ExportJson(folder, {false}, json, errors));
}

TEST(SettingsFolder, FilesNotInTheEditorsLayoutAreNoted) {
  TempFolder dir;
  Bytes stale{1, 0, 0, 0, 0, 0, 0, 0};
  stale.insert(stale.end(), 100, 0);
  stale.insert(stale.end(), {'o', 'l', 'd'});
  std::ofstream(dir.Path() / "pwrsnd.bin", std::ios::binary).write(stale.data(), static_cast<std::streamsize>(stale.size()));
  Bytes tooLong(1025, 0);
  tooLong[0] = 1;
  std::ofstream(dir.Path() / "netrcvd.bin", std::ios::binary).write(tooLong.data(), 1025);
  SettingsFolder contents;
  std::vector<std::string> notes;
  ASSERT_EQ(ReadSettingsFolder(dir.Folder(), contents, notes), 0);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].rfind("netrcvd.bin: longer than 1024 bytes", 0), 0u) << notes[0];
  EXPECT_EQ(notes[1].rfind("pwrsnd.bin: not laid out as the editor writes it", 0), 0u) << notes[1];
  EXPECT_EQ(contents.slots.size(), 1u);
  EXPECT_EQ(contents.records.size(), 1u);
}

TEST(SettingsTool, CommandLineMistakesAndMissingFiles) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* error;
  };
  TempFolder empty;
  const Case cases[] = {
      {{}, 2, "no command"},
      {{"shoe", "x"}, 2, "unknown command shoe"},
      {{"show"}, 2, "show takes one file"},
      {{"check", "a", "b"}, 2, "check takes one folder"},
      {{"import", "a", "--decode-passwords"}, 2, "--decode-passwords is for show and export"},
      {{"export", "a", "--fast"}, 2, "unknown option --fast"},
      {{"show", "settings.bin"}, 1, "\"settings.bin\" is not a settings file name"},
      {{"show", empty.Folder() + "setio.bin"}, 1, "cannot open"},
      {{"check", empty.Path().string()}, 1, "no settings file in"},
  };
  for (const Case& c : cases) {
    ToolIo io;
    EXPECT_EQ(RunTool(c.args, "", io), c.status) << c.error;
    EXPECT_NE(io.err.find(c.error), std::string::npos) << io.err;
    EXPECT_EQ(io.out, "");
  }
}

}  // namespace
}  // namespace halvik::tools
