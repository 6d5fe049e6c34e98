#include "platform/file_io.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>
#include <utility>

#if __has_include(<unistd.h>)
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#error "file_io needs POSIX files; a port to another platform provides its own file_io.cpp"
#endif

namespace lunetta {

namespace fs = std::filesystem;

namespace {

class FileCategoryImpl : public std::error_category {
 public:
  const char* name() const noexcept override { return "lunetta-file"; }
  std::string message(int condition) const override {
    switch (static_cast<FileErrc>(condition)) {
      case FileErrc::not_regular_file:
        return "not a regular file";
      case FileErrc::too_large:
        return "too large to read whole";
      case FileErrc::read_only:
        return "the file is read-only";
    }
    return "unknown file error";
  }
};

std::error_code LastError() {
  return {errno, std::generic_category()};
}

// A path's lstat/stat type check, for the files a reader or writer refuses.
std::error_code NotRegular(mode_t mode) {
  if (S_ISDIR(mode)) {
    return std::make_error_code(std::errc::is_a_directory);
  }
  return S_ISREG(mode) ? std::error_code{} : make_error_code(FileErrc::not_regular_file);
}

// The final non-link path `target` names, following at most 40 links as the kernel would. A
// dangling link resolves to the missing file it names.
std::error_code ResolveLinks(const fs::path& target, fs::path& resolved) {
  fs::path current = target;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat status {};
    if (::lstat(current.c_str(), &status) != 0) {
      if (errno != ENOENT) {
        return LastError();
      }
      resolved = current;
      return {};
    }
    if (!S_ISLNK(status.st_mode)) {
      resolved = current;
      return {};
    }
    std::error_code error;
    const fs::path link = fs::read_symlink(current, error);
    if (error) {
      return error;
    }
    current = link.is_absolute() ? link : current.parent_path() / link;
  }
  return std::make_error_code(std::errc::too_many_symbolic_link_levels);
}

// Root may write anything, so for our own file the owner's write bit is what the user meant.
bool DeniesWriting(const struct stat& status, int folder, const char* name) {
  if (status.st_uid == ::geteuid()) {
    return (status.st_mode & S_IWUSR) == 0;
  }
  return ::faccessat(folder, name, W_OK, AT_EACCESS) != 0;
}

std::string TemporaryName(std::string_view targetName) {
  thread_local std::mt19937_64 random{std::random_device{}()};
  // Leave room for the suffix within the 255-byte name limit.
  constexpr std::size_t kMaxStem = 200;
  std::array<char, 24> suffix{};
  std::snprintf(suffix.data(), suffix.size(), ".%012llx~",
                static_cast<unsigned long long>(random() & 0xFFFF'FFFF'FFFFULL));
  return "." + std::string(targetName.substr(0, std::min(targetName.size(), kMaxStem))) +
         suffix.data();
}

// The temporary files of open writers, for a signal handler to remove: fixed slots that the
// handler reads without locks. A slot is claimed, filled, then published by its folder descriptor.
struct PendingTemporary {
  std::atomic<bool> claimed{false};
  std::atomic<int> folder{-1};
  std::array<char, 256> name{};
};
std::array<PendingTemporary, 64> pendingTemporaries;

int RememberTemporary(int folder, const std::string& name) {
  if (name.size() >= PendingTemporary{}.name.size()) {
    return -1;
  }
  for (std::size_t i = 0; i < pendingTemporaries.size(); ++i) {
    PendingTemporary& slot = pendingTemporaries[i];
    if (!slot.claimed.exchange(true, std::memory_order_acquire)) {
      std::memcpy(slot.name.data(), name.c_str(), name.size() + 1);
      slot.folder.store(folder, std::memory_order_release);
      return static_cast<int>(i);
    }
  }
  return -1;  // more writers than slots: this one is not cleaned up on a signal
}

void ForgetTemporary(int& index) {
  if (index >= 0) {
    PendingTemporary& slot = pendingTemporaries[static_cast<std::size_t>(index)];
    slot.folder.store(-1, std::memory_order_release);
    slot.claimed.store(false, std::memory_order_release);
    index = -1;
  }
}

extern "C" void RemoveTemporariesAndEnd(int signal) {
  const int saved = errno;
  for (PendingTemporary& slot : pendingTemporaries) {
    const int folder = slot.folder.load(std::memory_order_acquire);
    if (folder >= 0) {
      ::unlinkat(folder, slot.name.data(), 0);
    }
  }
  errno = saved;
  // The handler was reset to the default on entry; the signal, blocked until the handler returns,
  // then ends the process as it would have.
  ::raise(signal);
}

// ".<stem>.<12 hex digits>~", as TemporaryName makes them for a target named so.
bool IsTemporaryOf(std::string_view name, std::string_view stem) {
  constexpr std::size_t kSuffix = 1 + 12 + 1;  // ".", the digits, "~"
  if (name.size() != 1 + stem.size() + kSuffix || name.front() != '.' || name.back() != '~' ||
      name.substr(1, stem.size()) != stem || name[1 + stem.size()] != '.') {
    return false;
  }
  const std::string_view digits = name.substr(2 + stem.size(), 12);
  return std::all_of(digits.begin(), digits.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// Temporary files of `targetName` in `folder` that a writer of ours left long ago.
void RemoveStaleTemporaries(int folder, std::string_view targetName) {
  const std::string_view stem = targetName.substr(0, std::min<std::size_t>(targetName.size(), 200));
  const int listing = ::dup(folder);
  DIR* entries = listing < 0 ? nullptr : ::fdopendir(listing);
  if (entries == nullptr) {
    if (listing >= 0) {
      ::close(listing);
    }
    return;
  }
  const auto staleBefore = std::chrono::system_clock::now() - AtomicFileWriter::kStaleTemporaryAge;
  while (const dirent* entry = ::readdir(entries)) {
    struct stat status {};
    if (!IsTemporaryOf(entry->d_name, stem) ||
        ::fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) {
      continue;
    }
    const auto modified = std::chrono::system_clock::from_time_t(status.st_mtim.tv_sec);
    if (modified < staleBefore) {
      ::unlinkat(folder, entry->d_name, 0);
    }
  }
  ::closedir(entries);
}

// Where a writer's file goes: the target itself, or under Follow the file its links end at.
std::error_code FinalPath(const fs::path& target, LinkAtTarget link, fs::path& finalPath) {
  finalPath = target;
  if (link == LinkAtTarget::Follow) {
    if (const std::error_code error = ResolveLinks(target, finalPath)) {
      return error;
    }
  }
  if (!finalPath.has_filename()) {
    return std::make_error_code(std::errc::is_a_directory);
  }
  return {};
}

// The file a writer is about to make in place of what the target's name holds now.
struct NewFile {
  mode_t mode = 0666;
  bool exactMode = false;  // not narrowed by the umask
  bool replacing = false;
};

// Whether `name` in `folder` may be replaced, and the new file's mode.
std::error_code PlanReplacement(int folder, const std::string& name,
                                const AtomicWriteOptions& options, NewFile& planned) {
  planned.mode = options.mode ? static_cast<mode_t>(*options.mode) : 0666;
  planned.exactMode = options.mode.has_value();
  struct stat existing {};
  if (::fstatat(folder, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT ? std::error_code{} : LastError();
  }
  planned.replacing = true;
  if (S_ISLNK(existing.st_mode)) {
    // A link at the name under Replace is replaced by the rename, never written through; but a
    // link to a FIFO, device or folder says that no file belongs there: refused as they are.
    struct stat linked {};
    if (::fstatat(folder, name.c_str(), &linked, 0) == 0 && !S_ISREG(linked.st_mode)) {
      return make_error_code(FileErrc::not_regular_file);
    }
    return {};
  }
  if (!S_ISREG(existing.st_mode)) {
    return make_error_code(FileErrc::not_regular_file);
  }
  if (DeniesWriting(existing, folder, name.c_str())) {
    return make_error_code(FileErrc::read_only);
  }
  if (options.keepExistingMode) {
    planned.mode = existing.st_mode & 0777;
    planned.exactMode = true;
  }
  return {};
}

// Creates a fresh temporary file beside `targetName`, exclusively and never through a link.
UniqueFd CreateTemporary(int folder, std::string_view targetName, const NewFile& planned,
                         std::string& temporaryName, std::error_code& error) {
  constexpr int kAttempts = 16;
  UniqueFd file;
  for (int attempt = 0; attempt < kAttempts && !file; ++attempt) {
    temporaryName = TemporaryName(targetName);
    file = UniqueFd{::openat(folder, temporaryName.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, planned.mode)};
    if (!file && errno != EEXIST) {
      break;
    }
  }
  if (!file) {
    error = LastError();
    return {};
  }
  // The umask narrowed the creation mode; a mode asked for or kept is meant exactly.
  if (planned.exactMode && ::fchmod(file.get(), planned.mode) != 0) {
    error = LastError();
    ::unlinkat(folder, temporaryName.c_str(), 0);
    return {};
  }
  return file;
}

bool IsOwnPrivateFolder(const char* path) {
  struct stat status {};
  return path != nullptr && fs::path(path).is_absolute() && ::stat(path, &status) == 0 &&
         S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() && (status.st_mode & 0777) == 0700;
}

}  // namespace

const std::error_category& FileCategory() {
  static const FileCategoryImpl category;
  return category;
}

std::error_code make_error_code(FileErrc error) {
  return {static_cast<int>(error), FileCategory()};
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.release();
  }
  return *this;
}

UniqueFd::~UniqueFd() {
  close();
}

int UniqueFd::release() {
  return std::exchange(fd_, -1);
}

std::error_code UniqueFd::close() {
  if (fd_ < 0) {
    return {};
  }
  // Linux releases the descriptor even when close is interrupted, so EINTR is no failure.
  const bool failed = ::close(std::exchange(fd_, -1)) != 0 && errno != EINTR;
  return failed ? LastError() : std::error_code{};
}

UniqueFd OpenRegularFile(const fs::path& path, std::error_code& error) {
  error.clear();
  // Checked before opening too: opening a device can have effects of its own.
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    error = LastError();
    return {};
  }
  if ((error = NotRegular(status.st_mode))) {
    return {};
  }
  // Non-blocking, so a FIFO swapped in after the check still cannot make us wait.
  UniqueFd fd{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (!fd) {
    error = LastError();
    return {};
  }
  if (::fstat(fd.get(), &status) != 0) {
    error = LastError();
    return {};
  }
  if ((error = NotRegular(status.st_mode))) {
    return {};
  }
  return fd;
}

FileBytes ReadRegularFile(const fs::path& path, std::size_t maxBytes, std::error_code& error) {
  const UniqueFd fd = OpenRegularFile(path, error);
  if (!fd) {
    return {};
  }
  FileBytes result;
  std::array<char, 16384> chunk{};
  const auto readSome = [&](std::size_t wanted) {
    ssize_t got = 0;
    do {
      got = ::read(fd.get(), chunk.data(), std::min(wanted, chunk.size()));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
      error = LastError();
    }
    return got;
  };
  while (result.bytes.size() < maxBytes) {
    const ssize_t got = readSome(maxBytes - result.bytes.size());
    if (got < 0) {
      return {};
    }
    if (got == 0) {
      return result;
    }
    result.bytes.append(chunk.data(), static_cast<std::size_t>(got));
  }
  // At the bound: one more byte tells whether the file goes on.
  const ssize_t more = readSome(1);
  if (more < 0) {
    return {};
  }
  result.complete = more == 0;
  return result;
}

AtomicFileWriter::~AtomicFileWriter() {
  discard();
}

std::error_code AtomicFileWriter::open(const fs::path& target, const AtomicWriteOptions& options) {
  discard();
  failure_.clear();

  fs::path finalPath;
  if (const std::error_code error = FinalPath(target, options.link, finalPath)) {
    return error;
  }
  const fs::path parent = finalPath.has_parent_path() ? finalPath.parent_path() : fs::path(".");
  UniqueFd folder{::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (!folder) {
    return LastError();
  }
  const std::string targetName = finalPath.filename().string();
  NewFile planned;
  if (const std::error_code error = PlanReplacement(folder.get(), targetName, options, planned)) {
    return error;
  }
  RemoveStaleTemporaries(folder.get(), targetName);
  std::string temporaryName;
  std::error_code error;
  UniqueFd file = CreateTemporary(folder.get(), targetName, planned, temporaryName, error);
  if (!file) {
    return error;
  }
  folder_ = std::move(folder);
  file_ = std::move(file);
  pending_ = RememberTemporary(folder_.get(), temporaryName);
  temporaryName_ = std::move(temporaryName);
  targetName_ = targetName;
  flush_ = options.flush == Flush::Always ||
           (options.flush == Flush::WhenReplacing && planned.replacing);
  return {};
}

std::error_code AtomicFileWriter::write(std::string_view bytes) {
  if (failure_) {
    return failure_;
  }
  if (!file_) {
    return std::make_error_code(std::errc::bad_file_descriptor);
  }
  while (!bytes.empty()) {
    const ssize_t written = ::write(file_.get(), bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      failure_ = written < 0 ? LastError() : std::make_error_code(std::errc::io_error);
      discard();
      return failure_;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

std::error_code AtomicFileWriter::commit() {
  if (failure_) {
    return failure_;
  }
  if (!file_) {
    return std::make_error_code(std::errc::bad_file_descriptor);
  }
  const auto fail = [this](std::error_code error) {
    failure_ = error;
    discard();
    return error;
  };
  if (flush_ && ::fsync(file_.get()) != 0) {
    return fail(LastError());
  }
  if (const std::error_code error = file_.close()) {
    return fail(error);
  }
  // Something may have taken the name since open(); a FIFO or device is still not replaced.
  struct stat existing {};
  if (::fstatat(folder_.get(), targetName_.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0 &&
      !S_ISLNK(existing.st_mode) && !S_ISREG(existing.st_mode)) {
    return fail(make_error_code(FileErrc::not_regular_file));
  }
  if (::renameat(folder_.get(), temporaryName_.c_str(), folder_.get(), targetName_.c_str()) != 0) {
    return fail(LastError());
  }
  ForgetTemporary(pending_);
  temporaryName_.clear();
  // The rename is done and the data are on disk; a folder sync some file systems refuse does not
  // make the write a failure.
  if (flush_) {
    ::fsync(folder_.get());
  }
  folder_.close();
  return {};
}

void AtomicFileWriter::discard() {
  ForgetTemporary(pending_);
  file_.close();
  if (!temporaryName_.empty() && folder_) {
    ::unlinkat(folder_.get(), temporaryName_.c_str(), 0);
  }
  temporaryName_.clear();
  targetName_.clear();
  folder_.close();
}

std::error_code WriteFileAtomically(const fs::path& path, std::string_view bytes,
                                    const AtomicWriteOptions& options) {
  AtomicFileWriter writer;
  if (std::error_code error = writer.open(path, options)) {
    return error;
  }
  if (std::error_code error = writer.write(bytes)) {
    return error;
  }
  return writer.commit();
}

void InstallTemporaryFileCleanup() {
  struct sigaction action {};
  action.sa_handler = RemoveTemporariesAndEnd;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    ::sigaction(signal, &action, nullptr);
  }
}

FileLock FileLock::Acquire(const fs::path& path, std::chrono::milliseconds timeout,
                           std::error_code& error) {
  error.clear();
  FileLock lock;
  lock.fd_ = UniqueFd{::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600)};
  if (!lock.fd_) {
    error = LastError();
    return {};
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (::flock(lock.fd_.get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) {
      error = LastError();
      return {};
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      error = std::make_error_code(std::errc::device_or_resource_busy);
      return {};
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return lock;
}

PrivateFolder PrivateFolder::Create(const fs::path& fallbackParent, std::error_code& error) {
  error.clear();
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const fs::path parent = IsOwnPrivateFolder(runtime) ? fs::path(runtime) : fallbackParent;
  // A relative parent would put the folder wherever the program happens to run.
  if (!parent.is_absolute()) {
    error = std::make_error_code(std::errc::invalid_argument);
    return {};
  }
  std::string name = (parent / "lunetta-XXXXXX").string();
  if (::mkdtemp(name.data()) == nullptr) {
    error = LastError();
    return {};
  }
  PrivateFolder folder;
  folder.path_ = std::move(name);
  return folder;
}

PrivateFolder::PrivateFolder(PrivateFolder&& other) noexcept
    : path_(std::exchange(other.path_, fs::path())) {}

PrivateFolder& PrivateFolder::operator=(PrivateFolder&& other) noexcept {
  if (this != &other) {
    remove();
    path_ = std::exchange(other.path_, fs::path());
  }
  return *this;
}

PrivateFolder::~PrivateFolder() {
  remove();
}

void PrivateFolder::remove() {
  if (!path_.empty()) {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    path_.clear();
  }
}

}  // namespace lunetta
