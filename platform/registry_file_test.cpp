#include "platform/registry_file.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::kLocalMachine;

RegistryValue Bytes(uint32_t type, std::string data) { return {type, std::move(data)}; }

// A file such as the registry editor exports, with a few hand edits.
const std::string kExport =
    "REGEDIT4\n"
    "\n"
    "; settings of several programs\n"
    "[HKEY_CURRENT_USER\\Software\\Test]\n"
    "@=\"default text\"\n"
    "\"Text\"=\"C:\\\\Windows\\\\Temp \\\"quoted\\\"\"\n"
    "\"Number\"=dword:0000012c\n"
    "\"Expand\"=hex(2):25,54,45,4d,50,25,00\n"
    "\"None\"=hex(0):41,42,00\n"
    "\"Binary\"=hex:01,ff,\\\n"
    "  10,\\\n"
    "  7f\n"
    "\"Qword\"=hex(b):01,00,00,00,00,00,00,00\n"
    "\"Empty\"=\"\"\n"
    "\"NoBytes\"=hex:\n"
    "this line means nothing\n"
    "\"Broken\"=dword:12345678ab\n"
    "\"Unterminated\"=\"abc\n"
    "\"Deleted\"=-\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n"
    "\"Path\"=\"D:\\\\cache\\\\\"\n"
    "\n"
    "[HKEY_CLASSES_ROOT\\.txt]\n"
    "@=\"txtfile\"\n";

TEST(RegistryFileFormat, ReadsEveryValueType) {
  const RegistryFile file = RegistryFile::Parse(kExport);
  auto value = [&](const char* name) { return file.QueryValue(kUser, "Software\\Test", name); };

  EXPECT_EQ(value(""), RegistryValue::String("default text"));
  EXPECT_EQ(value("Text"), RegistryValue::String("C:\\Windows\\Temp \"quoted\""));
  EXPECT_EQ(value("Number"), RegistryValue::Dword(300));
  EXPECT_EQ(value("Expand"), Bytes(registry_type::kExpandString, std::string("%TEMP%\0", 7)));
  EXPECT_EQ(value("None"), Bytes(registry_type::kNone, std::string("AB\0", 3)));
  EXPECT_EQ(value("Binary"), Bytes(registry_type::kBinary, "\x01\xff\x10\x7f"));
  EXPECT_EQ(value("Qword"), Bytes(11, std::string("\x01\0\0\0\0\0\0\0", 8)));
  EXPECT_EQ(value("Empty"), RegistryValue::String(""));
  EXPECT_EQ(value("NoBytes"), Bytes(registry_type::kBinary, ""));
  EXPECT_EQ(file.QueryValue(kMachine, "SOFTWARE\\Other", "Path"),
            RegistryValue::String("D:\\cache\\"));
}

TEST(RegistryFileFormat, MalformedLinesReadAsMissingAndDoNotDisturbTheRest) {
  const RegistryFile file = RegistryFile::Parse(kExport);
  for (const char* name : {"Broken", "Unterminated", "Deleted"})
    EXPECT_FALSE(file.QueryValue(kUser, "Software\\Test", name)) << name;
  EXPECT_TRUE(file.QueryValue(kMachine, "SOFTWARE\\Other", "Path"));
}

TEST(RegistryFileFormat, UnchangedFileIsWrittenBackByteForByte) {
  EXPECT_EQ(RegistryFile::Parse(kExport).Format(), kExport);

  std::string crlf;
  for (char c : kExport) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  EXPECT_EQ(RegistryFile::Parse(crlf).Format(), crlf);
  EXPECT_EQ(RegistryFile::Parse(crlf).QueryValue(kUser, "Software\\Test", "Binary"),
            Bytes(registry_type::kBinary, "\x01\xff\x10\x7f"));

  const std::string garbage("\0\xff\xfe[\n\\\n\"\"\"=\n[]\n\"a\"=hex:1,\\\n", 27);
  EXPECT_EQ(RegistryFile::Parse(garbage).Format(), garbage);
}

// Random files made of well-formed, broken and garbled lines: never a
// crash, every byte written back, and a new value disturbs nothing that was
// readable.
std::string RandomRegistryText(std::mt19937& random) {
  const std::vector<std::string> names = {"\"v\"", "@", "\"V\"", "\"v", "v"};
  const std::vector<std::string> data = {
      "\"text\"", "hex:41,\\", "hex(1):41,00", "dword:0a", "\"un", "hex:zz", "-", "dword:"};
  const std::vector<std::string> junk = {
      "[", "]", "\\", "\"", ";", " ", "=", ",", "41", std::string(1, '\0'), "\xff"};
  auto pick = [&random](const std::vector<std::string>& from) {
    return from[random() % from.size()];
  };
  std::string text;
  const int lines = static_cast<int>(random() % 12);
  for (int i = 0; i < lines; ++i) {
    switch (random() % 4) {
      case 0:
        text += "[HKEY_CURRENT_USER\\K]";
        break;
      case 1:
        text += pick(names) + "=" + pick(data);
        break;
      case 2:
        text += "  41,42";
        break;
      default:
        for (int j = static_cast<int>(random() % 6); j > 0; --j) text += pick(junk);
    }
    text += random() % 2 ? "\n" : "\r\n";
  }
  return text;
}

TEST(RegistryFileFormat, GarbledFilesAreKeptWhole) {
  std::mt19937 random(12345);
  int readable = 0;
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomRegistryText(random);
    RegistryFile file = RegistryFile::Parse(text);
    ASSERT_EQ(file.Format(), text);
    const auto defaultValue = file.QueryValue(kUser, "K", "");
    const auto namedValue = file.QueryValue(kUser, "K", "v");
    if (defaultValue || namedValue) ++readable;

    file.SetValue(kUser, "K", "added", RegistryValue::Dword(1));
    const RegistryFile reread = RegistryFile::Parse(file.Format());
    ASSERT_EQ(reread.QueryValue(kUser, "K", ""), defaultValue) << text;
    ASSERT_EQ(reread.QueryValue(kUser, "K", "v"), namedValue) << text;
    ASSERT_EQ(reread.QueryValue(kUser, "K", "added"), RegistryValue::Dword(1)) << text;
  }
  EXPECT_GT(readable, 300);  // the files do exercise the reading of values
}

TEST(RegistryFileFormat, AcceptsTheVersion5Header) {
  const RegistryFile file = RegistryFile::Parse(
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"x\"\r\n");
  EXPECT_EQ(file.QueryValue(kUser, "A", "v"), RegistryValue::String("x"));
}

TEST(RegistryFileFormat, NamesMatchWithoutRegardToAsciiCase) {
  RegistryFile file = RegistryFile::Parse(
      "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft]\n\"Cache_Directory\"=\"C:\\\\\"\n");
  EXPECT_TRUE(file.QueryValue(kMachine, "software\\MICROSOFT", "cache_directory"));
  EXPECT_FALSE(file.QueryValue(kUser, "SOFTWARE\\Microsoft", "Cache_Directory"));

  // A write to an existing value keeps the name as stored.
  file.SetValue(kMachine, "Software\\microsoft", "CACHE_DIRECTORY", RegistryValue::String("E:"));
  EXPECT_EQ(file.Format(),
            "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft]\n\"Cache_Directory\"=\"E:\"\n");

  // Only ASCII letters fold: other bytes must match exactly.
  file.SetValue(kUser, "K", "\xc3\x84", RegistryValue::Dword(1));
  EXPECT_FALSE(file.QueryValue(kUser, "K", "\xc3\xa4"));
}

TEST(RegistryFileFormat, TheLastOfRepeatedKeysAndValuesCounts) {
  RegistryFile file = RegistryFile::Parse(
      "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:1\n\"v\"=dword:2\n\n"
      "[HKEY_CURRENT_USER\\a]\n\"V\"=dword:3\n");
  EXPECT_EQ(file.QueryValue(kUser, "A", "v"), RegistryValue::Dword(3));

  file.SetValue(kUser, "A", "v", RegistryValue::Dword(4));
  EXPECT_EQ(RegistryFile::Parse(file.Format()).QueryValue(kUser, "A", "v"),
            RegistryValue::Dword(4));

  // Deleting removes every copy, so that no older one comes back.
  file.DeleteValue(kUser, "a", "V");
  EXPECT_FALSE(RegistryFile::Parse(file.Format()).QueryValue(kUser, "A", "v"));
}

TEST(RegistryFileFormat, KeyDeletionLinesNeverMatch) {
  const RegistryFile file =
      RegistryFile::Parse("REGEDIT4\n\n[-HKEY_CURRENT_USER\\A]\n\"v\"=dword:1\n");
  EXPECT_FALSE(file.QueryValue(kUser, "A", "v"));
}

TEST(RegistryFileWriting, AnEmptyRegistryBecomesAValidExport) {
  RegistryFile file;
  file.SetValue(kUser, "Software\\Orlemont Software\\dustral\\Default Settings", "Save settings",
                RegistryValue::Dword(1));
  file.SetValue(kUser, "Software\\Orlemont Software\\dustral\\Default Settings", "Exe to run",
                RegistryValue::String("/usr/bin/x"));
  file.SetValue(kUser, "Software\\Orlemont Software\\dustral\\Entries", "00000_FilePath",
                RegistryValue::String("/tmp"));
  EXPECT_EQ(file.Format(),
            "REGEDIT4\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Orlemont Software\\dustral\\Default Settings]\n"
            "\"Save settings\"=dword:00000001\n"
            "\"Exe to run\"=\"/usr/bin/x\"\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Orlemont Software\\dustral\\Entries]\n"
            "\"00000_FilePath\"=\"/tmp\"\n"
            "\n");
}

TEST(RegistryFileWriting, ChangesTouchOnlyTheirOwnLines) {
  RegistryFile file = RegistryFile::Parse(kExport);
  file.SetValue(kUser, "Software\\Test", "Number", RegistryValue::Dword(0xffffffff));
  file.SetValue(kUser, "Software\\Test", "Added", RegistryValue::String("new"));
  file.SetValue(kMachine, "SOFTWARE\\Other", "Path", RegistryValue::String("D:\\cache\\"));
  file.DeleteValue(kUser, "Software\\Test", "Expand");
  file.SetValue(kUser, "Software\\New", "n", RegistryValue::Dword(7));

  std::string expected = kExport;
  auto replace = [&expected](const std::string& from, const std::string& to) {
    const auto at = expected.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    expected.replace(at, from.size(), to);
  };
  replace("\"Number\"=dword:0000012c\n", "\"Number\"=dword:ffffffff\n");
  replace("\"Expand\"=hex(2):25,54,45,4d,50,25,00\n", "");
  // A new value goes after the key's last value, before its trailing lines.
  replace("\"NoBytes\"=hex:\n", "\"NoBytes\"=hex:\n\"Added\"=\"new\"\n");
  expected += "\n[HKEY_CURRENT_USER\\Software\\New]\n\"n\"=dword:00000007\n\n";
  EXPECT_EQ(file.Format(), expected);
}

TEST(RegistryFileWriting, NewLinesFollowTheFilesLineEnding) {
  RegistryFile file =
      RegistryFile::Parse("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"=\"1\"\r\n");
  file.SetValue(kUser, "A", "b", RegistryValue::String("2"));
  file.SetValue(kUser, "B", "c", RegistryValue::Dword(3));
  EXPECT_EQ(file.Format(),
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n\r\n"
            "[HKEY_CURRENT_USER\\B]\r\n\"c\"=dword:00000003\r\n\r\n");
}

TEST(RegistryFileWriting, EveryValueSurvivesARoundTrip) {
  const std::vector<std::pair<std::string, RegistryValue>> values = {
      {"plain", RegistryValue::String("text")},
      {"escapes", RegistryValue::String("\\\"a\\\\b\"\\")},
      {"trailing backslash", RegistryValue::String("C:\\")},
      {"not utf-8", RegistryValue::String("\xff\xfe caf\xe9 \x01\t")},
      {"line breaks", RegistryValue::String("one\ntwo\r\nthree")},
      {"long", RegistryValue::String(std::string(200000, 'x'))},
      {"empty", RegistryValue::String("")},
      {"string without NUL", Bytes(registry_type::kString, "abc")},
      {"string with inner NUL", Bytes(registry_type::kString, std::string("a\0b\0", 4))},
      {"dword", RegistryValue::Dword(0x80000000u)},
      {"short dword", Bytes(registry_type::kDword, "\x01\x02")},
      {"expand", Bytes(registry_type::kExpandString, std::string("%HOME%\0", 7))},
      {"none", Bytes(registry_type::kNone, "")},
      {"binary", Bytes(registry_type::kBinary, std::string(1000, '\xab'))},
      {"huge binary", Bytes(registry_type::kBinary, std::string(1 << 20, '\x5c'))},
      {"type 0x12345", Bytes(0x12345, "\x00\x01")},
      {"", RegistryValue::String("default")},
      {"name \"quoted\" \\ [x]=y", RegistryValue::Dword(5)},
  };
  RegistryFile file;
  for (const auto& [name, value] : values) ASSERT_TRUE(file.SetValue(kUser, "K", name, value));

  const std::string text = file.Format();
  for (std::string_view line : {std::string_view("\"plain\"=\"text\""),
                                std::string_view("\"line breaks\"=hex(1):6f,6e,65,0a")})
    EXPECT_NE(text.find(line), std::string::npos) << line;

  const RegistryFile reread = RegistryFile::Parse(text);
  for (const auto& [name, value] : values)
    EXPECT_EQ(reread.QueryValue(kUser, "K", name), value) << name;
  EXPECT_EQ(reread.Format(), text);
}

TEST(RegistryFileWriting, NamesWithLineBreaksAreRefused) {
  RegistryFile file;
  EXPECT_FALSE(file.SetValue(kUser, "K", "a\nb", RegistryValue::Dword(1)));
  EXPECT_FALSE(file.SetValue(kUser, "K\r\n[HKEY_CURRENT_USER\\X]", "a", RegistryValue::Dword(1)));
  EXPECT_EQ(file.Format(), "");
}

// ASCII text as UTF-16 LE code units.
std::string Utf16(std::string_view ascii) {
  std::string units;
  for (char c : ascii) units += c, units += '\0';
  return units;
}

TEST(RegistryFileFormat, Utf16ExportsAreReadAndWrittenBackInUtf16) {
  // A value holding "é" (00E9) and U+1F600 (the surrogate pair D83D DE00).
  const std::string exported =
      "\xff\xfe" +
      Utf16(
          "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Test]\r\n"
          "\"Path\"=\"C:\\\\") +
      std::string("\xe9\0\x3d\xd8\x00\xde", 6) + Utf16("\"\r\n");
  RegistryFile file = RegistryFile::Parse(exported);
  EXPECT_EQ(file.QueryValue(kUser, "Test", "Path"),
            RegistryValue::String("C:\\\xc3\xa9\xf0\x9f\x98\x80"));
  EXPECT_EQ(file.Format(), exported);
  EXPECT_EQ(RegistryFile::Parse(exported + "x").Format(), exported + "x");  // an odd last byte

  // New lines follow the file's line ending; bytes that are not UTF-8 (a
  // file name in another encoding) come back unchanged.
  file.SetValue(kUser, "Test", "n", RegistryValue::String("a\xff"));
  EXPECT_EQ(file.Format(),
            exported + Utf16("\"n\"=\"a") + std::string("\xff\xdc", 2) + Utf16("\"\r\n"));
  EXPECT_EQ(RegistryFile::Parse(file.Format()).QueryValue(kUser, "Test", "n"),
            RegistryValue::String("a\xff"));
}

}  // namespace
