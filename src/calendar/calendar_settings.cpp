#include "calendar/calendar_settings.h"

#include <ctime>

namespace lunetta {

LocalDate Today() {
  const std::time_t now = std::time(nullptr);
  if (now == static_cast<std::time_t>(-1)) {
    return {};
  }
  std::tm local{};
#if defined(_WIN32)
  if (localtime_s(&local, &now) != 0) {
    return {};
  }
#else
  if (localtime_r(&now, &local) == nullptr) {
    return {};
  }
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

PictureSize PictureDimensions(std::int32_t pictSize) {
  switch (pictSize) {
    case 0:
      return {800, 600};
    case 1:
      return {1024, 768};
    default:
      return {1280, 1024};
  }
}

}  // namespace lunetta
