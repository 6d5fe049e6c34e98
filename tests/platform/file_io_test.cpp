#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/fifo_guard.h"

namespace lunetta {
namespace {

namespace fs = std::filesystem;
using test_support::MakeFifo;
using test_support::WithoutBlocking;

void WriteText(const fs::path& path, std::string_view text) {
  std::ofstream(path, std::ios::binary)
      .write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

unsigned Mode(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class FileIoTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }

  const fs::path folder_ = fs::temp_directory_path() / "file_io";
};

TEST_F(FileIoTest, ReaderRefusesAnythingButARegularFileWithoutBlocking) {
  WriteText(folder_ / "file", "text");
  fs::create_symlink("file", folder_ / "linkToFile");
  MakeFifo(folder_ / "fifo");
  fs::create_symlink(folder_ / "fifo", folder_ / "linkToFifo");
  // Rows: path, error.
  for (const auto& [path, expected] : std::vector<std::pair<fs::path, std::error_code>>{
           {folder_ / "file", {}},
           {folder_ / "linkToFile", {}},
           {folder_ / "none", std::make_error_code(std::errc::no_such_file_or_directory)},
           {folder_, std::make_error_code(std::errc::is_a_directory)},
           {folder_ / "fifo", FileErrc::not_regular_file},
           {folder_ / "linkToFifo", FileErrc::not_regular_file},
           {"/dev/null", FileErrc::not_regular_file}}) {
    std::error_code error;
    const FileBytes read =
        WithoutBlocking(folder_ / "fifo", [&] { return ReadRegularFile(path, 100, error); });
    EXPECT_EQ(error, expected) << path << ": " << error.message();
    EXPECT_EQ(read.bytes, expected ? "" : "text") << path;
  }
}

TEST_F(FileIoTest, ReadStopsAtTheBound) {
  const fs::path file = folder_ / "f";
  // Rows: file size, bound, whether the read is complete.
  for (const auto& [size, bound, complete] :
       {std::tuple{0, 5, true}, {6, 5, false}, {40000, 39999, false}, {40000, 40000, true}}) {
    WriteText(file, std::string(static_cast<std::size_t>(size), 'x'));
    std::error_code error;
    const FileBytes read = ReadRegularFile(file, static_cast<std::size_t>(bound), error);
    EXPECT_FALSE(error) << size;
    EXPECT_EQ(read.bytes.size(), static_cast<std::size_t>(std::min(size, bound))) << size;
    EXPECT_EQ(read.complete, complete) << size << " bytes, bound " << bound;
  }
}

TEST_F(FileIoTest, PlantedLinkInAStickySharedFolderIsReplacedNeverFollowed) {
  const fs::path shared = folder_ / "shared", victim = folder_ / "important.txt";
  fs::create_directory(shared);
  fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
  WriteText(victim, "precious");
  fs::create_symlink(victim, shared / "Calendar.bmp");

  EXPECT_FALSE(WriteFileAtomically(shared / "Calendar.bmp", "BM picture",
                                   {.mode = fs::perms::owner_read | fs::perms::owner_write}));
  EXPECT_EQ(ReadText(victim), "precious");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(shared / "Calendar.bmp")));
  EXPECT_EQ(ReadText(shared / "Calendar.bmp"), "BM picture");
  EXPECT_EQ(Mode(shared / "Calendar.bmp"), 0600U);
  EXPECT_EQ(Names(shared), std::vector<std::string>{"Calendar.bmp"});
}

TEST_F(FileIoTest, FollowWritesThroughTheLink) {
  fs::create_directory(folder_ / "dotfiles");
  WriteText(folder_ / "dotfiles" / "real.INI", "old");
  fs::permissions(folder_ / "dotfiles" / "real.INI", fs::perms(0640));
  // A chain of two links, the first one relative.
  fs::create_symlink(folder_ / "dotfiles" / "real.INI", folder_ / "second");
  fs::create_symlink("second", folder_ / "profile.INI");

  EXPECT_FALSE(WriteFileAtomically(folder_ / "profile.INI", "new",
                                   {.link = LinkAtTarget::Follow, .mode = fs::perms(0600)}));
  EXPECT_TRUE(fs::is_symlink(folder_ / "profile.INI"));
  EXPECT_TRUE(fs::is_symlink(folder_ / "second"));
  EXPECT_EQ(ReadText(folder_ / "dotfiles" / "real.INI"), "new");
  EXPECT_EQ(Mode(folder_ / "dotfiles" / "real.INI"), 0640U);  // kept, not the new-file mode
  EXPECT_EQ(Names(folder_ / "dotfiles"), std::vector<std::string>{"real.INI"});

  // A dangling link creates the file it names.
  fs::create_symlink(folder_ / "dotfiles" / "made.INI", folder_ / "dangling");
  EXPECT_FALSE(WriteFileAtomically(folder_ / "dangling", "made", {.link = LinkAtTarget::Follow}));
  EXPECT_EQ(ReadText(folder_ / "dotfiles" / "made.INI"), "made");
  EXPECT_TRUE(fs::is_symlink(folder_ / "dangling"));
}

TEST_F(FileIoTest, FifoOrFolderTargetIsRefusedBeforeAnythingIsWritten) {
  fs::create_directory(folder_ / "dir");
  MakeFifo(folder_ / "fifo");
  fs::create_symlink(folder_ / "fifo", folder_ / "fifo.link");
  fs::create_symlink(folder_ / "dir", folder_ / "dir.link");
  fs::create_symlink("/dev/null", folder_ / "null.link");
  // A link to a FIFO, device or folder is refused under either policy.
  for (const char* name : {"fifo", "null.link", "dir", "fifo.link", "dir.link"}) {
    for (const LinkAtTarget link : {LinkAtTarget::Replace, LinkAtTarget::Follow}) {
      // Refused by open(), so a large picture is not encoded in vain.
      AtomicFileWriter writer;
      const std::error_code error = WithoutBlocking(
          folder_ / "fifo", [&] { return writer.open(folder_ / name, {.link = link}); });
      EXPECT_EQ(error, FileErrc::not_regular_file) << name << " " << int(link);
    }
  }
  // Planted while the writer works.
  AtomicFileWriter writer;
  ASSERT_FALSE(writer.open(folder_ / "f"));
  MakeFifo(folder_ / "f");
  EXPECT_EQ(writer.commit(), FileErrc::not_regular_file);
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(folder_ / "f")));
  EXPECT_TRUE(fs::is_empty(folder_ / "dir"));
  EXPECT_EQ(Names(folder_),
            (std::vector<std::string>{"dir", "dir.link", "f", "fifo", "fifo.link", "null.link"}));
}

TEST_F(FileIoTest, FilesGetTheModeTheirOwnerExpects) {
  const mode_t previousMask = ::umask(022);
  const fs::path file = folder_ / "f";
  // Rows: existing mode (0 = no file), options, resulting mode.
  for (const auto& [existing, options, mode] :
       std::vector<std::tuple<unsigned, AtomicWriteOptions, unsigned>>{
           {0, {}, 0644},                            // the umask, as any saved file
           {0, {.mode = fs::perms(0600)}, 0600},     // the composed picture
           {0640, {.mode = fs::perms(0600)}, 0640},  // an existing file keeps its mode
           {0664, {}, 0664},                         // even beyond the umask
           {0640, {.mode = fs::perms(0600), .keepExistingMode = false}, 0600},
       }) {
    fs::remove(file);
    if (existing != 0) {
      WriteText(file, "old");
      fs::permissions(file, fs::perms(existing));
    }
    EXPECT_FALSE(WriteFileAtomically(file, "new", options));
    EXPECT_EQ(Mode(file), mode) << std::oct << "existing " << existing;
  }
  ::umask(previousMask);
}

// Whatever the writer: the saved picture, the year's PDF, the wallpaper copy, the composed picture,
// the profile through its link.
TEST_F(FileIoTest, AReadOnlyTargetIsNeverReplaced) {
  WriteText(folder_ / "mine.jpg", "mine");
  fs::permissions(folder_ / "mine.jpg", fs::perms(0444));
  fs::create_symlink("mine.jpg", folder_ / "profile.INI");
  const fs::perms ownerOnly = fs::perms(0600);
  // Rows: what the writer names, its options.
  for (const auto& [name, options] : std::vector<std::pair<const char*, AtomicWriteOptions>>{
           {"mine.jpg", {.flush = Flush::WhenReplacing}},
           {"mine.jpg", {.mode = ownerOnly, .keepExistingMode = false}},
           {"mine.jpg", {.flush = Flush::Never, .mode = ownerOnly, .keepExistingMode = false}},
           {"profile.INI", {.link = LinkAtTarget::Follow, .mode = ownerOnly}}}) {
    EXPECT_EQ(WriteFileAtomically(folder_ / name, "new", options), FileErrc::read_only) << name;
  }
  EXPECT_EQ(ReadText(folder_ / "mine.jpg"), "mine");
  EXPECT_EQ(Mode(folder_ / "mine.jpg"), 0444U);
  EXPECT_EQ(Names(folder_), (std::vector<std::string>{"mine.jpg", "profile.INI"}));
}

TEST_F(FileIoTest, AFailedWriteLeavesTheTargetAsItWas) {
  const fs::path file = folder_ / "f";
  WriteText(file, "old");
  // The file size limit stands in for a full disk: the errno must come through with its words.
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit previous{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
  AtomicFileWriter writer;
  ASSERT_FALSE(writer.open(file));
  EXPECT_FALSE(writer.write("first "));
  EXPECT_EQ(Names(folder_).size(), 2U);  // the temporary file beside the target
  rlimit small = previous;
  small.rlim_cur = 8;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::error_code error = writer.write("more than eight bytes");
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &previous), 0);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(error, std::errc::file_too_large);
  EXPECT_EQ(writer.write("more"), error);  // the first failure sticks
  EXPECT_EQ(writer.commit(), error);
  EXPECT_EQ(ReadText(file), "old");
  EXPECT_EQ(Names(folder_), std::vector<std::string>{"f"});
}

// What an interrupted program would leave: its temporary files go with it, and those of a process
// killed outright go at the next write of the same target.
TEST_F(FileIoTest, ASignalRemovesTheTemporaryFilesOfOpenWriters) {
  EXPECT_EXIT(
      {
        InstallTemporaryFileCleanup();
        AtomicFileWriter writer;
        if (writer.open(folder_ / "out.jpg") || writer.write("half a picture")) {
          std::exit(1);
        }
        std::raise(SIGTERM);
      },
      testing::KilledBySignal(SIGTERM), "");
  EXPECT_EQ(Names(folder_), std::vector<std::string>{});
}

TEST_F(FileIoTest, StaleTemporariesOfTheTargetGoWhenItIsWritten) {
  const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (const char* name : {".out.jpg.0123456789ab~", ".other.jpg.0123456789ab~"}) {
    WriteText(folder_ / name, "left");
    fs::last_write_time(folder_ / name, longAgo);
  }
  WriteText(folder_ / ".out.jpg.ba9876543210~", "another writer's, under way");
  ASSERT_FALSE(WriteFileAtomically(folder_ / "out.jpg", "new"));
  EXPECT_EQ(Names(folder_), (std::vector<std::string>{".other.jpg.0123456789ab~",
                                                      ".out.jpg.ba9876543210~", "out.jpg"}));
}

class PrivateFolderTest : public FileIoTest {
 protected:
  void SetUp() override {
    FileIoTest::SetUp();
    ::unsetenv("XDG_RUNTIME_DIR");
  }
  void TearDown() override { ::unsetenv("XDG_RUNTIME_DIR"); }

  fs::path CreateIn(const fs::path& fallback) {
    std::error_code error;
    folders_.push_back(PrivateFolder::Create(fallback, error));
    EXPECT_FALSE(error) << error.message();
    return folders_.back().path();
  }

  std::vector<PrivateFolder> folders_;
};

TEST_F(PrivateFolderTest, FreshOwnFolderRemovedWithItsContents) {
  const fs::path first = CreateIn(folder_), second = CreateIn(folder_);
  EXPECT_EQ(first.parent_path(), folder_);
  EXPECT_TRUE(first.filename().string().starts_with("lunetta-")) << first;
  EXPECT_NE(first, second);  // two running programs never share a picture
  EXPECT_EQ(Mode(first), 0700U);
  WriteText(first / "Calendar.bmp", "BM");

  PrivateFolder moved = std::move(folders_.front());
  folders_.clear();
  EXPECT_TRUE(fs::exists(first)) << "removed by the moved-from object";
  EXPECT_FALSE(fs::exists(second));
  moved = PrivateFolder{};
  EXPECT_FALSE(fs::exists(first));
}

// In the runtime folder only when it is ours and private; a fallback that is missing or relative is
// an error, never the working folder.
TEST_F(PrivateFolderTest, RuntimeFolderOrAnAbsoluteFallback) {
  const fs::path runtime = folder_ / "runtime", fallback = folder_ / "tmp", work = folder_ / "work";
  for (const fs::path& folder : {runtime, fallback, work}) {
    fs::create_directories(folder);
  }
  // Rows: XDG_RUNTIME_DIR's mode (0 = a relative name), where the folder goes.
  for (const auto& [mode, parent] :
       {std::pair{0700U, runtime}, {0755U, fallback}, {0770U, fallback}, {0U, fallback}}) {
    fs::permissions(runtime, fs::perms(mode == 0 ? 0700 : mode));
    ::setenv("XDG_RUNTIME_DIR", mode == 0 ? "runtime" : runtime.c_str(), 1);
    EXPECT_EQ(CreateIn(fallback).parent_path(), parent) << std::oct << mode;
  }
  ::setenv("XDG_RUNTIME_DIR", (folder_ / "missing").c_str(), 1);
  const fs::path previous = fs::current_path();
  fs::current_path(work);
  for (const auto& [parent, expected] :
       {std::pair{folder_ / "missing", std::errc::no_such_file_or_directory},
        {fs::path("relative"), std::errc::invalid_argument}}) {
    std::error_code error;
    EXPECT_TRUE(PrivateFolder::Create(parent, error).path().empty()) << parent;
    EXPECT_EQ(error, expected) << parent;
  }
  fs::current_path(previous);
  EXPECT_TRUE(fs::is_empty(work));
}

}  // namespace
}  // namespace lunetta
