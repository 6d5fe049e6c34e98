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

const FaultWords& WordsOf(Fault fault) {
  const auto index = static_cast<std::size_t>(fault);
  // A fault without its row would be a programming slip; it reads as the last row, not past it.
  return kFaults[index < std::size(kFaults) ? index : std::size(kFaults) - 1];
}

QString SayFailure(const Failure& failure, const FaultLanguage& language) {
  const FaultWords& row = WordsOf(failure.fault);
  const QString words = language.translate(row.*language.column);
  switch (row.datum) {
    case FaultDatum::None:
      break;
    case FaultDatum::Cause: {
      const QString cause = failure.cause ? language.cause(failure.cause) : failure.detail;
      return cause.isEmpty() ? words : language.aside.arg(words, cause);
    }
    case FaultDatum::Detail:
      return words.arg(failure.detail);
    case FaultDatum::DetailOrUnknown:
      return words.arg(failure.detail.isEmpty() ? language.unknown : failure.detail);
    case FaultDatum::Size:
      if (failure.size.isValid()) {
        return language.aside.arg(
            words, language.size.arg(failure.size.width()).arg(failure.size.height()));
      }
      break;
  }
  return words;
}

Failure WritingFailure(const std::filesystem::path& file, std::error_code cause) {
  if (cause == FileErrc::not_regular_file) {
    return Failure(Fault::NotRegularFile, file);
  }
  return Failure(Fault::CannotWrite, file, cause);
}

}  // namespace lunetta
