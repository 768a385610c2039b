// The file functions of the operating-system seam, on the system the tests run on.
#include "platform/platform.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "support/fixture.h"

namespace {

namespace fs = std::filesystem;

bool starts_with(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(Platform, CreateBesideMakesDistinctNewFilesInThePathsFolder) {
  Fixture f;
  const fs::path target = f.dir() / "result.csv";
  f.write("result.csv", "kept");
  std::set<std::string> names;
  for (int i = 0; i < 20; ++i) {
    std::FILE* file = nullptr;
    std::string temp_path;
    std::string reason;
    ASSERT_TRUE(platform_create_beside(target.string(), file, temp_path, reason)) << reason;
    ASSERT_NE(file, nullptr);
    const fs::path temp(temp_path);
    EXPECT_EQ(temp.parent_path(), f.dir());
    const std::string name = temp.filename().string();
    EXPECT_TRUE(starts_with(name, ".result.csv.") && ends_with(name, ".tmp")) << name;
    EXPECT_TRUE(names.insert(name).second) << name << " given twice";
    EXPECT_EQ(fs::file_size(temp), 0u);
    std::fputs("made", file);
    EXPECT_EQ(std::fclose(file), 0);
    EXPECT_EQ(read_whole_file(temp_path), "made");
  }
  EXPECT_EQ(read_whole_file(target.string()), "kept");
}

TEST(Platform, CreateBesideFailsWithAReasonInAMissingFolder) {
  Fixture f;
  std::FILE* file = nullptr;
  std::string temp_path;
  std::string reason;
  EXPECT_FALSE(platform_create_beside((f.dir() / "missing" / "result.csv").string(), file, temp_path, reason));
  EXPECT_EQ(file, nullptr);
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(fs::exists(f.dir() / "missing"));
}

#ifndef _WIN32
// A result file is made like any other new file: the user's umask decides who may read it.
TEST(Platform, CreateBesideHonoursTheUmask) {
  struct UmaskCase {
    mode_t umask;
    mode_t mode;
  };
  const UmaskCase kCases[] = {{022, 0644}, {077, 0600}, {0, 0666}};
  Fixture f;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.umask);
    const mode_t saved = umask(c.umask);
    std::FILE* file = nullptr;
    std::string temp_path;
    std::string reason;
    const bool created = platform_create_beside((f.dir() / "result.csv").string(), file, temp_path, reason);
    umask(saved);
    ASSERT_TRUE(created) << reason;
    std::fclose(file);
    struct stat st;
    ASSERT_EQ(stat(temp_path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.mode);
  }
}
#endif

TEST(Platform, ReplaceFileMovesTheNewFileInPlace) {
  Fixture f;
  for (const bool target_exists : {true, false}) {
    SCOPED_TRACE(target_exists ? "over an existing file" : "where there is none");
    const std::string from = (f.dir() / "new.tmp").string();
    const std::string to = (f.dir() / "result.csv").string();
    platform_remove_file(to);
    if (target_exists) f.write("result.csv", "old and longer");
    f.write("new.tmp", "new");
    std::string reason;
    EXPECT_TRUE(platform_replace_file(from, to, reason)) << reason;
    EXPECT_EQ(read_whole_file(to), "new");
    EXPECT_FALSE(fs::exists(from));
  }
}

TEST(Platform, ReplaceFileFailsWithAReasonForAMissingSource) {
  Fixture f;
  f.write("result.csv", "old");
  std::string reason;
  EXPECT_FALSE(platform_replace_file((f.dir() / "missing.tmp").string(), (f.dir() / "result.csv").string(), reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(read_whole_file((f.dir() / "result.csv").string()), "old");
}

TEST(Platform, RemoveFileRemovesAFileAndToleratesAMissingOne) {
  Fixture f;
  f.write("old.tmp", "x");
  platform_remove_file((f.dir() / "old.tmp").string());
  EXPECT_FALSE(fs::exists(f.dir() / "old.tmp"));
  platform_remove_file((f.dir() / "old.tmp").string());  // must neither crash nor create it
  EXPECT_FALSE(fs::exists(f.dir() / "old.tmp"));
}

// A file from platform_create_beside writes text as standard output does
// (CR LF on Windows) until it is made binary; what was written before stays
// as it was written.
TEST(Platform, BinaryStreamWritesLfAsItIs) {
  struct StreamCase {
    const char* what;
    const char* before;  // written before platform_binary_stream
    const char* after;   // written after it; null: the call is not made
    std::string bytes;
  };
  const StreamCase kCases[] = {
      {"text mode", "a\nb", nullptr, as_written("a\nb")},
      {"binary from the start", "", "a\nb", "a\nb"},
      {"text, then binary", "a\n", "b\n", as_written("a\n") + "b\n"},
  };
  Fixture f;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    std::FILE* file = nullptr;
    std::string temp_path;
    std::string reason;
    ASSERT_TRUE(platform_create_beside((f.dir() / "result.csv").string(), file, temp_path, reason)) << reason;
    std::fputs(c.before, file);
    if (c.after != nullptr) {
      platform_binary_stream(file);
      std::fputs(c.after, file);
    }
    EXPECT_EQ(std::fclose(file), 0);
    EXPECT_EQ(read_whole_file(temp_path), c.bytes);
  }
}

TEST(Platform, IsDirectory) {
  Fixture f;
  f.write("file.txt", "x");
  fs::create_directory(f.dir() / "folder");
  const struct {
    fs::path path;
    bool directory;
  } kCases[] = {
      {f.dir() / "folder", true},
      {f.dir() / "file.txt", false},
      {f.dir() / "missing", false},
      {f.dir() / "missing" / "folder", false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(platform_is_directory(c.path.string()), c.directory) << c.path.string();
  }
}

}  // namespace
