#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

// Reading and writing the files Lunetta keeps, safely on a machine shared with other users: no
// hang on a FIFO, no writing through a link someone planted, no half-written file. POSIX only.

namespace lunetta {

/// Conditions that have no errno of their own.
enum class FileErrc {
  not_regular_file = 1,  // a FIFO, device, socket or directory where a file was expected
  too_large,             // the file holds more than the reader may take in, so it is not rewritten
  read_only,             // the file exists and its mode denies us writing: not replaced
};

const std::error_category& FileCategory();
std::error_code make_error_code(FileErrc error);

}  // namespace lunetta

template <>
struct std::is_error_code_enum<lunetta::FileErrc> : std::true_type {};

namespace lunetta {

/// Owns one POSIX file descriptor and closes it.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd();

  int get() const { return fd_; }
  /// Gives up ownership without closing.
  int release();
  /// Closes now; the errno of a failed close, or an empty code.
  std::error_code close();
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

/// Opens for reading without blocking (a link is followed), then refuses anything but a regular
/// file: a directory gives std::errc::is_a_directory, a FIFO, device or socket
/// FileErrc::not_regular_file. A FIFO never makes the caller wait for a writer.
UniqueFd OpenRegularFile(const std::filesystem::path& path, std::error_code& error);

struct FileBytes {
  std::string bytes;
  bool complete = true;  // false when the file holds more than the bytes read
};

/// Reads at most `maxBytes` of a regular file opened as OpenRegularFile does. On failure the bytes
/// are empty and `error` says why.
FileBytes ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                          std::error_code& error);

enum class LinkAtTarget {
  Replace,  // a symbolic link at the target name is replaced by the new file, never followed; a
            // link to anything but a regular file is refused as that thing would be
  Follow,   // the link is followed: the temporary file goes beside the link's final target and is
            // renamed onto it, so the link stays (a profile managed by a dotfile manager)
};

/// When the data are flushed to disk before the rename. Without a flush, a crash soon after the
/// write may leave the new name empty, which matters only where it replaced a good file.
enum class Flush {
  Always,
  WhenReplacing,  // a file the user asked for anew has no good content to lose
  Never,          // scratch files the program alone reads while it runs
};

struct AtomicWriteOptions {
  LinkAtTarget link = LinkAtTarget::Replace;
  Flush flush = Flush::Always;
  /// Mode of a new file; nothing gives 0666 less the umask, as for any file the user saves.
  std::optional<std::filesystem::perms> mode = std::nullopt;
  /// An existing regular file keeps its mode.
  bool keepExistingMode = true;
};

/// Writes a file atomically: a temporary file with a random name (".<name>.<12 hex digits>~") is
/// created exclusively (never through a link) with the final mode in the target's folder, written,
/// synced and renamed over the target, and the folder is synced. Temporary files of this target
/// that a writer of ours left behind more than kStaleTemporaryAge ago (a process killed outright)
/// are removed when it opens. An existing target that is not a regular file (FIFO,
/// device, directory, socket; under Follow also a link to one) is refused with
/// FileErrc::not_regular_file, and one whose mode denies us writing (the owner's write bit when it
/// is ours, even for root) with FileErrc::read_only: a user who made a file read-only meant it to
/// stay, whichever writer comes. Nothing is written then. Errors carry errno in
/// std::generic_category, so message() names the cause ("No space left on device"). The folder
/// must exist. An uncommitted temporary file is removed by discard() and by the destructor.
class AtomicFileWriter {
 public:
  static constexpr std::chrono::minutes kStaleTemporaryAge{10};

  AtomicFileWriter() = default;
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  /// Checks the target and creates the temporary file. An open writer is discarded first.
  std::error_code open(const std::filesystem::path& target, const AtomicWriteOptions& options = {});
  /// Appends bytes; may be called many times. After a failure every later call returns that
  /// failure.
  std::error_code write(std::string_view bytes);
  /// Syncs and renames the temporary file over the target. On failure the target is untouched
  /// and the temporary file removed. The writer is closed either way.
  std::error_code commit();
  /// Removes the temporary file; the target is untouched.
  void discard();
  bool isOpen() const { return static_cast<bool>(file_); }

 private:
  UniqueFd folder_;
  UniqueFd file_;
  std::string temporaryName_;  // in folder_
  std::string targetName_;     // in folder_
  bool flush_ = true;
  std::error_code failure_;
  int pending_ = -1;  // the slot that names the temporary file for InstallTemporaryFileCleanup
};

/// Makes SIGINT, SIGTERM and SIGHUP remove the temporary files of every open AtomicFileWriter
/// before the process ends as the signal would end it: an interrupted program leaves no hidden
/// files behind.
void InstallTemporaryFileCleanup();

/// An exclusive lock on a file of ours (flock), held while the object lives: two processes that
/// change the same files take turns.
class FileLock {
 public:
  FileLock() = default;
  /// Waits at most `timeout` for the lock on `path`, which is created with mode 0600 when missing
  /// (never through a link); std::errc::device_or_resource_busy when another holds it that long.
  static FileLock Acquire(const std::filesystem::path& path, std::chrono::milliseconds timeout,
                          std::error_code& error);
  explicit operator bool() const { return static_cast<bool>(fd_); }

 private:
  UniqueFd fd_;
};

/// Writes `bytes` as the whole content of `path` with AtomicFileWriter.
std::error_code WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                    const AtomicWriteOptions& options = {});

/// A folder only this user can enter (mode 0700, a fresh "lunetta-XXXXXX" name), removed with its
/// contents when the object goes. Made in $XDG_RUNTIME_DIR when that is an absolute path to a
/// directory of ours with mode 0700, otherwise in `fallbackParent`, which must be an absolute
/// path to an existing folder: a missing one is an error, never the working directory.
class PrivateFolder {
 public:
  PrivateFolder() = default;
  static PrivateFolder Create(const std::filesystem::path& fallbackParent, std::error_code& error);

  PrivateFolder(PrivateFolder&& other) noexcept;
  PrivateFolder& operator=(PrivateFolder&& other) noexcept;
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  ~PrivateFolder();

  /// Empty when creation failed.
  const std::filesystem::path& path() const { return path_; }

 private:
  void remove();

  std::filesystem::path path_;
};

}  // namespace lunetta
