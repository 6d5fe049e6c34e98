#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The per-user folders of the XDG base-directory rules, looked up in one place. Relative values
// are ignored, as the rules ask; a missing HOME falls back to the password database, never to the
// working directory.

namespace lunetta {

/// The value of an environment variable; nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

/// The process's own environment.
EnvironmentLookup ProcessEnvironment();

/// $HOME when it is an absolute path, else this user's home in the password database; empty when
/// neither names one.
std::filesystem::path HomeFolder(const EnvironmentLookup& environment = ProcessEnvironment());

/// $XDG_CONFIG_HOME, or ~/.config; empty without a home.
std::filesystem::path ConfigHome(const EnvironmentLookup& environment = ProcessEnvironment());

/// $XDG_DATA_HOME, or ~/.local/share; empty without a home.
std::filesystem::path DataHome(const EnvironmentLookup& environment = ProcessEnvironment());

/// The absolute folders of $XDG_DATA_DIRS in order, or /usr/local/share and /usr/share.
std::vector<std::filesystem::path> DataDirs(
    const EnvironmentLookup& environment = ProcessEnvironment());

}  // namespace lunetta
