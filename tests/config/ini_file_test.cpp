#include "config/ini_file.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace zt {
namespace {

TEST(ParseIniInteger, AcceptsDecimalHexAndSigns) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {
      {"0", 0},
      {"42", 42},
      {"-7", -7},
      {"+12", 12},
      {"-0", 0},
      {"00000000000000000000012", 12},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"0xFF", 255},
      {"0XfF", 255},
      {"0x0", 0},
      {"0x7FFFFFFF", 2147483647},
      {"0xFFFFFFFF", -1},
      {"0x80000000", INT32_MIN},
      {"0x0000000000FF", 255},
      {"$FF", 255},
      {"$ffffffff", -1},
      {"-0x10", -16},
      {"-$10", -16},
      {"-0x80000000", INT32_MIN},
      {"65636", 65636},
  };
  for (const Case& c : cases) {
    std::optional<int32_t> n = ParseIniInteger(c.text);
    ASSERT_TRUE(n.has_value()) << c.text;
    EXPECT_EQ(*n, c.value) << c.text;
  }
}

TEST(ParseIniInteger, RejectsEverythingElse) {
  const char* bad[] = {"",        "-",        "+",          "yes",         "true",
                       "0x",      "0X",       "$",          "-0x",         "1 2",
                       " 1",      "1 ",       "12a",        "0x1g",        "0xFF ",
                       "--1",     "+-1",      "1.0",        "1e3",         "0b101",
                       "2147483648", "-2147483649", "4294967295", "0x100000000",
                       "-0x80000001", "99999999999999999999", "x10", "0 x10", "$-1"};
  for (const char* text : bad) {
    EXPECT_FALSE(ParseIniInteger(text).has_value()) << '"' << text << '"';
  }
  // "0x" with exactly two characters is not a hexadecimal prefix, so "0x"
  // is simply not a number - and neither is a NUL in the middle.
  EXPECT_FALSE(ParseIniInteger(std::string("1\0" "2", 3)).has_value());
}

TEST(IniFile, ParsesSectionsEntriesAndBlanks) {
  IniFile ini(
      "orphan=1\r\n"
      "; leading comment\r\n"
      "  [ General ]  \r\n"
      "  Rate =  250  \r\n"
      "Path=a=b=c\r\n"
      "Empty=\r\n"
      "\t; indented comment\r\n"
      "\r\n"
      "   \r\n"
      "[Colors]\r\n"
      "TextColor=0x10\r\n");
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"General", "Colors"}));
  EXPECT_EQ(ini.ReadString("General", "Rate", "?"), "250");
  EXPECT_EQ(ini.ReadString("General", "Path", "?"), "a=b=c");
  EXPECT_EQ(ini.ReadString("General", "Empty", "?"), "");
  EXPECT_EQ(ini.ReadString("General", "orphan", "?"), "?");
  EXPECT_EQ(ini.ReadInteger("Colors", "TextColor", -1), 16);
  EXPECT_EQ(ini.ReadInteger("General", "Empty", 7), 7);
  EXPECT_FALSE(ini.SectionExists("orphan"));
}

TEST(IniFile, AcceptsLfAndLoneCrLineEnds) {
  for (const char* text : {"[S]\nA=1\nB=2\n", "[S]\rA=1\rB=2", "[S]\r\nA=1\nB=2\r"}) {
    IniFile ini(text);
    EXPECT_EQ(ini.ReadInteger("S", "A", 0), 1) << text;
    EXPECT_EQ(ini.ReadInteger("S", "B", 0), 2) << text;
    EXPECT_EQ(ini.Serialize(), "[S]\r\nA=1\r\nB=2\r\n\r\n");
  }
}

TEST(IniFile, NamesMatchWithoutLetterCase) {
  IniFile ini("[gEnErAl]\r\nalphablend=0\r\n");
  EXPECT_TRUE(ini.SectionExists("GENERAL"));
  EXPECT_FALSE(ini.ReadBool("General", "AlphaBlend", true));
  // Writing keeps the section's spelling and the entry's place.
  ini.WriteBool("General", "AlphaBlend", true);
  ini.WriteInteger("GENERAL", "Rate", 5);
  EXPECT_EQ(ini.Serialize(), "[gEnErAl]\r\nAlphaBlend=1\r\nRate=5\r\n\r\n");
  // Only ASCII letters fold; other bytes compare exactly.
  EXPECT_TRUE(IniNamesEqual("Key_1", "kEY_1"));
  EXPECT_FALSE(IniNamesEqual("\xC4", "\xE4"));
  EXPECT_FALSE(IniNamesEqual("[", "{"));
}

TEST(IniFile, FirstOfDuplicateKeysCountsAndRepeatedSectionsMerge) {
  IniFile ini("[A]\r\nk=1\r\nK=2\r\n[B]\r\nx=1\r\n[a]\r\nj=3\r\n");
  EXPECT_EQ(ini.ReadInteger("A", "k", 0), 1);
  EXPECT_EQ(ini.ReadInteger("A", "j", 0), 3);
  ini.WriteInteger("A", "K", 9);
  EXPECT_EQ(ini.Serialize(), "[A]\r\nK=9\r\nK=2\r\nj=3\r\n\r\n[B]\r\nx=1\r\n\r\n");
}

TEST(IniFile, BooleansAreIntegers) {
  IniFile ini("[G]\r\na=yes\r\nb=2\r\nc=0\r\nd=-1\r\ne=0x0\r\n");
  EXPECT_TRUE(ini.ReadBool("G", "a", true));
  EXPECT_FALSE(ini.ReadBool("G", "a", false));
  EXPECT_TRUE(ini.ReadBool("G", "b", false));
  EXPECT_FALSE(ini.ReadBool("G", "c", true));
  EXPECT_TRUE(ini.ReadBool("G", "d", false));
  EXPECT_FALSE(ini.ReadBool("G", "e", true));
  EXPECT_TRUE(ini.ReadBool("G", "missing", true));
}

TEST(IniFile, RewritesOnlyWhatItKnowsAndKeepsTheRest) {
  IniFile ini(
      "; comment that goes away\r\n"
      "[General]\r\n"
      "Unknown = keep me \r\n"
      "  a line without equals  \r\n"
      "Rate=1\r\n"
      "\r\n"
      "[Plugin]\r\n"
      "Mode=\xB2\xE2\xCA\xD4\r\n"  // GB2312 bytes pass through untouched
      "Raw=a\x01x\x7F\xFF\r\n");
  ini.WriteInteger("General", "Rate", 500);
  ini.WriteInteger("General", "NewKey", -3);
  ini.WriteInteger("Location", "PosX", 10);
  ini.WriteInteger("Colors", "TextColor", 0);
  ini.WriteInteger("Location", "PosY", 11);
  EXPECT_EQ(ini.Serialize(),
            "[General]\r\n"
            "Unknown=keep me\r\n"
            "a line without equals\r\n"
            "Rate=500\r\n"
            "NewKey=-3\r\n"
            "\r\n"
            "[Plugin]\r\n"
            "Mode=\xB2\xE2\xCA\xD4\r\n"
            "Raw=a\x01x\x7F\xFF\r\n"
            "\r\n"
            "[Location]\r\n"
            "PosX=10\r\n"
            "PosY=11\r\n"
            "\r\n"
            "[Colors]\r\n"
            "TextColor=0\r\n"
            "\r\n");
  // A line without "=" is not a key.
  EXPECT_FALSE(ini.ValueExists("General", "a line without equals"));
}

TEST(IniFile, EdgeShapesOfHeadersAndLines) {
  IniFile ini("[]\r\n=v\r\n[a]b]\r\nx=1\r\n[unclosed\r\n[ ]\r\ny=2\r\n");
  EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"", "a]b"}));
  EXPECT_EQ(ini.ReadString("", "", "?"), "v");
  EXPECT_EQ(ini.ReadInteger("a]b", "x", 0), 1);
  EXPECT_EQ(ini.Serialize(), "[]\r\n=v\r\ny=2\r\n\r\n[a]b]\r\nx=1\r\n[unclosed\r\n\r\n");
}

TEST(IniFile, EmptyInputWritesNothing) {
  EXPECT_EQ(IniFile("").Serialize(), "");
  EXPECT_EQ(IniFile("; only a comment\r\nkey=before any section\r\n").Serialize(), "");
}

TEST(IniFile, RefusesWritesThatWouldNotReadBack) {
  IniFile ini;
  EXPECT_FALSE(ini.WriteString("Bad]", "k", "v"));
  EXPECT_FALSE(ini.WriteString("Bad\n", "k", "v"));
  EXPECT_FALSE(ini.WriteString(" S", "k", "v"));
  EXPECT_FALSE(ini.WriteString("S", "k=1", "v"));
  EXPECT_FALSE(ini.WriteString("S", ";k", "v"));
  EXPECT_FALSE(ini.WriteString("S", "[k", "v"));
  EXPECT_FALSE(ini.WriteString("S", "k ", "v"));
  EXPECT_FALSE(ini.WriteString("S", "k", "v\r\n[X]"));
  EXPECT_FALSE(ini.WriteString("S", "k", " v"));
  EXPECT_EQ(ini.Serialize(), "");
  EXPECT_TRUE(ini.WriteString("S", "k", "a = b ; c"));
  EXPECT_EQ(IniFile(ini.Serialize()).ReadString("S", "k", "?"), "a = b ; c");
}

// Whatever bytes arrive, parsing never fails, and what is written reads back
// to the same file (writing is a fixed point after one round).
TEST(IniFile, RandomBytesParseAndRoundTrip) {
  std::mt19937 rng(20261207);
  using namespace std::string_literals;
  const std::string alphabet = "[]=; \t\r\n\0\xFF" "Kkv01x-$"s;
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    size_t len = rng() % 400;
    for (size_t i = 0; i < len; ++i) {
      bytes += (rng() % 3 == 0) ? static_cast<char>(rng() % 256)
                                : alphabet[rng() % alphabet.size()];
    }
    IniFile ini(bytes);
    ini.WriteInteger("General", "Rate", static_cast<int32_t>(rng()));
    std::string once = ini.Serialize();
    IniFile again(once);
    ASSERT_EQ(again.Serialize(), once) << "round " << round;
    ASSERT_EQ(again.ReadString("General", "Rate", "?"), ini.ReadString("General", "Rate", "!"));
  }
}

TEST(IniFile, ManySectionsParseQuickly) {
  std::string big;
  for (int i = 0; i < 60000; ++i) big += "[s" + std::to_string(i % 20000) + "]\nk=v\n";
  IniFile ini(big);
  EXPECT_EQ(ini.SectionNames().size(), 20000u);
  EXPECT_EQ(ini.ReadString("S19999", "K", "?"), "v");
}

}  // namespace
}  // namespace zt
