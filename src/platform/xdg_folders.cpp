#include "platform/xdg_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <string_view>

namespace lunetta {

namespace {

std::filesystem::path AbsoluteValue(const EnvironmentLookup& environment, const char* name) {
  const std::optional<std::string> value = environment(name);
  if (!value) {
    return {};
  }
  std::filesystem::path path(*value);
  return path.is_absolute() ? path : std::filesystem::path();
}

// getpwuid_r with a buffer of the size the system suggests.
std::filesystem::path PasswordHome() {
  long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::string buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384, '\0');
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
      found == nullptr || found->pw_dir == nullptr) {
    return {};
  }
  std::filesystem::path home(found->pw_dir);
  return home.is_absolute() ? home : std::filesystem::path();
}

std::filesystem::path UnderHome(const EnvironmentLookup& environment, const char* name,
                                const char* fallback) {
  if (std::filesystem::path value = AbsoluteValue(environment, name); !value.empty()) {
    return value;
  }
  const std::filesystem::path home = HomeFolder(environment);
  return home.empty() ? home : home / fallback;
}

}  // namespace

EnvironmentLookup ProcessEnvironment() {
  return [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    return value == nullptr ? std::nullopt : std::optional<std::string>(value);
  };
}

std::filesystem::path HomeFolder(const EnvironmentLookup& environment) {
  if (std::filesystem::path home = AbsoluteValue(environment, "HOME"); !home.empty()) {
    return home;
  }
  return PasswordHome();
}

std::filesystem::path ConfigHome(const EnvironmentLookup& environment) {
  return UnderHome(environment, "XDG_CONFIG_HOME", ".config");
}

std::filesystem::path DataHome(const EnvironmentLookup& environment) {
  return UnderHome(environment, "XDG_DATA_HOME", ".local/share");
}

std::vector<std::filesystem::path> DataDirs(const EnvironmentLookup& environment) {
  std::string_view dirs;
  const std::optional<std::string> value = environment("XDG_DATA_DIRS");
  if (value && !value->empty()) {
    dirs = *value;
  } else {
    dirs = "/usr/local/share/:/usr/share/";
  }
  std::vector<std::filesystem::path> folders;
  while (!dirs.empty()) {
    const std::size_t colon = dirs.find(':');
    const std::filesystem::path folder(dirs.substr(0, colon));
    dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
    if (folder.is_absolute()) {
      folders.push_back(folder);
    }
  }
  return folders;
}

}  // namespace lunetta
