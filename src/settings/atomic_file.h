#pragma once

#include <filesystem>
#include <string_view>

namespace lunetta {

/// Writes `bytes` to a temporary file beside `path`, flushes it to disk and renames it over
/// `path`, so `path` holds either its old content or all of the new. False on any failure, in which
/// case `path` is untouched and no temporary file is left.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace lunetta
