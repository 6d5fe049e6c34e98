#include "picture/failure.h"

#include "platform/file_io.h"

namespace lunetta {

Failure ReadingFailure(const std::filesystem::path& file, std::error_code cause) {
  Fault fault = Fault::CannotOpen;
  if (cause == std::errc::no_such_file_or_directory || cause == std::errc::not_a_directory) {
    fault = Fault::NotFound;
  } else if (cause == std::errc::is_a_directory) {
    fault = Fault::IsFolder;
  } else if (cause == FileErrc::not_regular_file) {
    fault = Fault::NotRegularFile;
  } else if (cause == std::errc::permission_denied || cause == std::errc::operation_not_permitted) {
    fault = Fault::NoPermission;
  }
  return Failure(fault, file, fault == Fault::CannotOpen ? cause : std::error_code());
}

Failure WritingFailure(const std::filesystem::path& file, std::error_code cause) {
  if (cause == FileErrc::not_regular_file) {
    return Failure(Fault::NotRegularFile, file);
  }
  return Failure(Fault::CannotWrite, file, cause);
}

}  // namespace lunetta
