#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/files.h"
#include "support/test_support.h"

namespace quib {
namespace {

using test::ReadAll;
using test::TempDir;

TEST(Profile, ReadTable) {
  TempDir dir;
  std::string p = dir.Write("q.ini",
                            "; comment\r\n"
                            "[Option]\r\n"
                            "Volume=0x32\r\n"
                            "  usebgm = 2  \r\n"
                            "Bad=abc\r\n"
                            "Dollar=$1F\r\n"
                            "ZeroX=0x\r\n"
                            "Neg=-15\r\n"
                            "Plus=+7\r\n"
                            "Big=2147483648\r\n"
                            "Min=-2147483648\r\n"
                            "HexAll=$FFFFFFFF\r\n"
                            "Empty=\r\n"
                            "BGM=  /home/u/My Song.mp3 \t\r\n"
                            "Quoted=\"  x \"\r\n"
                            "Dup=first\r\n"
                            "Dup=second\r\n"
                            "[ effect ]\n"
                            "iBackT=3\n"
                            "[OPTION]\r\n"
                            "Later=1\r\n");
  Profile prof(p);
  struct Case {
    const char* section;
    const char* key;
    int def;
    int expect;
  } ints[] = {
      {"Option", "Volume", 20, 50}, {"Option", "UseBGM", 0, 2}, {"Option", "Bad", 20, 20},
      {"Option", "Dollar", 0, 31},  {"Option", "ZeroX", 9, 9},  {"Option", "Neg", 0, -15},
      {"Option", "Plus", 0, 7},     {"Option", "Big", 5, 5},    {"Option", "Min", 0, INT32_MIN},
      {"Option", "HexAll", 0, -1},  {"Option", "Empty", 4, 4},  {"Option", "Missing", 6, 6},
      {"Missing", "Volume", 8, 8},  {"EFFECT", "IBACKT", 1, 3}, {"Option", "Later", 0, 0},
  };
  for (const auto& c : ints)
    EXPECT_EQ(prof.ReadInteger(c.section, c.key, c.def), c.expect) << c.section << "." << c.key;
  EXPECT_TRUE(prof.ReadBool("Option", "UseBGM", false));
  EXPECT_TRUE(prof.ReadBool("Option", "Neg", false));
  EXPECT_TRUE(prof.ReadBool("Option", "Missing", true));
  EXPECT_EQ(prof.ReadString("option", "bgm", "d"), "/home/u/My Song.mp3");
  EXPECT_EQ(prof.ReadString("Option", "Empty", "d"), "");
  EXPECT_EQ(prof.ReadString("Option", "Quoted", "d"), "  x ");
  EXPECT_EQ(prof.ReadString("Option", "Dup", "d"), "first");
  EXPECT_EQ(prof.ReadString("Option", "None", "d"), "d");
}

TEST(Profile, ParseIntegerTable) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  } cases[] = {{"0", true, 0},      {"12", true, 12},        {"0x32", true, 50}, {"0X1f", true, 31},
               {"0x", false, 0},    {"$", false, 0},         {"$1F", true, 31},  {"1.5", false, 0},
               {"", false, 0},      {"12a", false, 0},       {"-0", true, 0},    {"0x1G", false, 0},
               {"-$10", true, -16}, {"$100000000", false, 0}};
  for (const auto& c : cases) {
    int v = -999;
    EXPECT_EQ(ParseProfileInteger(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(Profile, LongStringsAreCut) {
  TempDir dir;
  std::string p = dir.Write("q.ini", "[S]\nK=" + std::string(3000, 'x') + "\n");
  EXPECT_EQ(Profile(p).ReadString("S", "K", "").size(), 2047u);
}

TEST(Profile, MissingFileReadsDefaultsAndCreatesNothing) {
  TempDir dir;
  std::string p = dir.File("none.ini");
  Profile prof(p);
  EXPECT_EQ(prof.ReadInteger("Option", "Volume", 20), 20);
  EXPECT_EQ(prof.ReadString("Option", "BGM", "x"), "x");
  EXPECT_FALSE(PathExists(p));
}

TEST(Profile, WriteUpdatesInPlace) {
  TempDir dir;
  const std::string before =
      "; keep me\r\n"
      "[Setting]\r\n"
      "StopOnKey=1\r\n"
      "\r\n"
      "[Option]\r\n"
      "UseBGM = 0\r\n"
      "BGM=/a.mp3\r\n"
      "\r\n"
      "[Effect]\r\n"
      "iBackT=1\r\n";
  std::string p = dir.Write("q.ini", before);
  Profile prof(p);
  ASSERT_TRUE(prof.WriteBool("OPTION", "usebgm", true));
  ASSERT_TRUE(prof.WriteString("Option", "MESSAGE", "/a.txt"));
  ASSERT_TRUE(prof.WriteInteger("Karaoke", "bTimeForce", 1));
  ASSERT_TRUE(prof.WriteInteger("Setting", "StopOnKey", -3));
  EXPECT_EQ(ReadAll(p),
            "; keep me\r\n"
            "[Setting]\r\n"
            "StopOnKey=-3\r\n"
            "\r\n"
            "[Option]\r\n"
            "UseBGM =1\r\n"
            "BGM=/a.mp3\r\n"
            "MESSAGE=/a.txt\r\n"
            "\r\n"
            "[Effect]\r\n"
            "iBackT=1\r\n"
            "[Karaoke]\r\n"
            "bTimeForce=1\r\n");
  EXPECT_TRUE(prof.ReadBool("Option", "UseBGM", false));
  EXPECT_EQ(Profile(p).ReadString("option", "message", ""), "/a.txt");
}

TEST(Profile, WriteKeepsLfLinesAndAMissingLastLineEnd) {
  TempDir dir;
  std::string p = dir.Write("q.qka", "[Option]\nTextBack=1");
  Profile prof(p);
  ASSERT_TRUE(prof.WriteInteger("Effect", "iNoiseT", 2));
  ASSERT_TRUE(prof.WriteInteger("Option", "UsePass", 0));
  EXPECT_EQ(ReadAll(p), "[Option]\nTextBack=1\nUsePass=0\n[Effect]\niNoiseT=2\n");
}

TEST(Profile, WriteCreatesFileAndSection) {
  TempDir dir;
  std::string p = dir.File("QUIBKARAOKE.ini");
  Profile prof(p);
  ASSERT_TRUE(prof.WriteInteger("Setting", "StopOnKey", 1));
  ASSERT_TRUE(prof.WriteString("Option", "Password", "M.LYMO"));
  EXPECT_EQ(ReadAll(p), "[Setting]\r\nStopOnKey=1\r\n[Option]\r\nPassword=M.LYMO\r\n");
  struct stat st;
  ASSERT_EQ(stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Profile, RefusedWrites) {
  TempDir dir;
  std::string plain = dir.Write("plain", "x");
  Profile impossible(plain + "/q.ini");  // the parent is a regular file
  EXPECT_FALSE(impossible.WriteInteger("S", "K", 1));
  std::string ro = dir.Write("ro.ini", "[S]\r\nK=1\r\n");
  chmod(ro.c_str(), 0444);
  Profile prof(ro);
  EXPECT_FALSE(prof.WriteInteger("S", "K", 2));
  EXPECT_EQ(ReadAll(ro), "[S]\r\nK=1\r\n");
  EXPECT_EQ(prof.ReadInteger("S", "K", 0), 1);
}

TEST(Profile, ReloadSeesEdits) {
  TempDir dir;
  std::string p = dir.Write("q.ini", "[S]\nK=1\n");
  Profile prof(p);
  dir.Write("q.ini", "[S]\nK=2\n");
  EXPECT_EQ(prof.ReadInteger("S", "K", 0), 1);
  prof.Reload();
  EXPECT_EQ(prof.ReadInteger("S", "K", 0), 2);
  // A write starts from the file as it is now.
  dir.Write("q.ini", "[S]\nK=3\nOther=x\n");
  ASSERT_TRUE(prof.WriteInteger("S", "K", 4));
  EXPECT_EQ(ReadAll(p), "[S]\nK=4\nOther=x\n");
}

}  // namespace
}  // namespace quib
