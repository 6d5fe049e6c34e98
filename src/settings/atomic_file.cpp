#include "settings/atomic_file.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <system_error>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

namespace lunetta {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::filesystem::path TemporaryPathBeside(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
  static const unsigned seed = std::random_device{}();
  const unsigned number = seed ^ (counter.fetch_add(1) * 2654435761U);
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, ".%08x~", number);
  std::filesystem::path temporary = path;
  temporary += suffix;
  return temporary;
}

// Writes, flushes and syncs; the stream is closed before the rename so that nothing is pending.
bool WriteAndSync(FilePtr file, std::string_view bytes) {
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    return false;
  }
  if (std::fflush(file.get()) != 0) {
    return false;
  }
#if __has_include(<unistd.h>)
  if (::fsync(::fileno(file.get())) != 0) {
    return false;
  }
#endif
  return std::fclose(file.release()) == 0;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code error;
  const std::filesystem::path parent = path.parent_path();
  if (!parent.empty()) {
    std::filesystem::create_directories(parent, error);
    if (error) {
      return false;
    }
  }

  // "x" refuses an existing file, so a name another writer already took is never shared.
  constexpr int kAttempts = 16;
  std::filesystem::path temporary;
  FilePtr file;
  for (int attempt = 0; attempt < kAttempts && !file; ++attempt) {
    temporary = TemporaryPathBeside(path);
    file.reset(std::fopen(temporary.string().c_str(), "wbx"));
  }
  if (!file) {
    return false;
  }

  // Keep the permissions of the file being replaced, as an in-place save would.
  const std::filesystem::file_status target = std::filesystem::status(path, error);
  if (!error && std::filesystem::is_regular_file(target)) {
    std::filesystem::permissions(temporary, target.permissions(), error);
  }

  error.clear();
  if (!WriteAndSync(std::move(file), bytes)) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace lunetta
