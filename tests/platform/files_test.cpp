#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/test_support.h"

namespace quib {
namespace {

using test::ReadAll;
using test::TempDir;

TEST(Files, Existence) {
  TempDir dir;
  std::string f = dir.Write("a.txt", "x");
  EXPECT_TRUE(PathExists(f));
  EXPECT_TRUE(PathExists(dir.path()));
  EXPECT_TRUE(IsDirectory(dir.path()));
  EXPECT_FALSE(IsDirectory(f));
  EXPECT_FALSE(PathExists(dir.File("missing")));
  EXPECT_FALSE(PathExists(""));
}

TEST(Files, ListFolderIgnoresCase) {
  TempDir dir;
  for (const char* n : {"b.JPG", "a.jpg", "c.jpeg", "noext", "d.Mp3", "\x83\x41.jpg"})
    dir.Write(n, "");
  std::filesystem::create_directory(dir.File("sub.jpg"));
  std::vector<std::string> names;
  ASSERT_TRUE(ListFolder(dir.path(), "*.jpg", names));
  EXPECT_EQ(names, (std::vector<std::string>{"a.jpg", "b.JPG", "sub.jpg", "\x83\x41.jpg"}));
  ASSERT_TRUE(ListFolder(dir.path(), "*.*", names));
  EXPECT_EQ(names.size(), 7u);  // "*.*" also matches names without a dot
  ASSERT_TRUE(ListFolder(dir.path(), "?.mp3", names));
  EXPECT_EQ(names, std::vector<std::string>{"d.Mp3"});
  EXPECT_FALSE(ListFolder(dir.File("missing"), "*.*", names));
  EXPECT_TRUE(names.empty());
}

TEST(Files, ReadLineEnds) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},  // LF then CR: two line ends
      {"\x82\xA0\t \r\n", {"\x82\xA0\t "}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    std::string p = dir.Write("t.txt", c.bytes);
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadTextLines(p, lines));
    EXPECT_EQ(lines, c.lines) << c.bytes;
  }
  std::vector<std::string> lines;
  EXPECT_FALSE(ReadTextLines(dir.File("missing"), lines));
  EXPECT_FALSE(ReadTextLines(dir.path(), lines));
}

TEST(Files, WriteLinesWithCrLf) {
  TempDir dir;
  std::string p = dir.File("out.txt");
  ASSERT_TRUE(WriteTextLines(p, {"one", "", "\x82\xA0"}));
  EXPECT_EQ(ReadAll(p), "one\r\n\r\n\x82\xA0\r\n");
  ASSERT_TRUE(WriteTextLines(p, {"new"}));
  EXPECT_EQ(ReadAll(p), "new\r\n");
  // No temporary file is left behind.
  std::vector<std::string> names;
  ASSERT_TRUE(ListFolder(dir.path(), "*", names));
  EXPECT_EQ(names, std::vector<std::string>{"out.txt"});
}

TEST(Files, AtomicWriteModes) {
  TempDir dir;
  std::string p = dir.File("secret.ini");
  ASSERT_TRUE(WriteFileAtomically(p, "x", 0600));
  struct stat st;
  ASSERT_EQ(stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  chmod(p.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(p, "y"));  // an existing file keeps its bits
  ASSERT_EQ(stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(ReadAll(p), "y");
}

TEST(Files, RefusedWriteLeavesTheOldFile) {
  TempDir dir;
  // A parent that is a regular file refuses even root.
  std::string notDir = dir.Write("plain", "keep");
  EXPECT_FALSE(WriteTextLines(notDir + "/x.txt", {"a"}));
  EXPECT_EQ(ReadAll(notDir), "keep");
  // A read-only file is refused, for root too.
  std::string ro = dir.Write("ro.txt", "old\r\n");
  chmod(ro.c_str(), 0444);
  EXPECT_FALSE(WriteTextLines(ro, {"new"}));
  EXPECT_EQ(ReadAll(ro), "old\r\n");
  std::vector<std::string> names;
  ASSERT_TRUE(ListFolder(dir.path(), "*", names));
  EXPECT_EQ(names, (std::vector<std::string>{"plain", "ro.txt"}));
}

TEST(Files, ReadOnlyFolder) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: permission bits do not stop writes";
  TempDir dir;
  std::string sub = dir.path() + "/ro";
  std::filesystem::create_directory(sub);
  std::string p = sub + "/a.txt";
  ASSERT_TRUE(WriteTextLines(p, {"old"}));
  chmod(sub.c_str(), 0555);
  EXPECT_FALSE(WriteTextLines(p, {"new"}));
  EXPECT_EQ(ReadAll(p), "old\r\n");
}

TEST(Files, RenameNeverReplaces) {
  TempDir dir;
  std::string a = dir.Write("a", "A"), b = dir.Write("b", "B");
  EXPECT_FALSE(RenamePath(a, b));
  EXPECT_EQ(ReadAll(b), "B");
  std::string c = dir.File("c");
  EXPECT_TRUE(RenamePath(a, c));
  EXPECT_FALSE(PathExists(a));
  EXPECT_EQ(ReadAll(c), "A");
  EXPECT_TRUE(CopyFileBytes(c, dir.File("d")));
  EXPECT_EQ(ReadAll(dir.File("d")), "A");
}

TEST(Files, PathHelpers) {
  struct Case {
    std::string path, folder, name, ext, changed;
  } cases[] = {
      {"/m/Song.MP3", "/m/", "Song.MP3", ".mp3", "/m/Song.qka"},
      {"/m.d/song", "/m.d/", "song", "", "/m.d/song.qka"},
      {"song.tar.gz", "", "song.tar.gz", ".gz", "song.tar.qka"},
      {"/m/", "/m/", "", "", "/m/.qka"},
      {"/m/x.", "/m/", "x.", ".", "/m/x.qka"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FolderPart(c.path), c.folder) << c.path;
    EXPECT_EQ(FileNamePart(c.path), c.name) << c.path;
    EXPECT_EQ(LowerExtension(c.path), c.ext) << c.path;
    EXPECT_EQ(ChangeExtension(c.path, ".qka"), c.changed) << c.path;
  }
  EXPECT_EQ(CompareNoCase("ABC", "abc"), 0);
  EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
  EXPECT_GT(CompareNoCase("b", "A"), 0);
  // Shift-JIS trail bytes are not letters: "ア" (83 41) and "ャ" (83 61) differ.
  EXPECT_NE(CompareNoCase("\x83\x41", "\x83\x61"), 0);
}

}  // namespace
}  // namespace quib
