#include "platform/stage_trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace lunetta {

void TraceStage(const char* stage) {
  static const bool enabled = std::getenv("LUNETTA_TRACE") != nullptr;
  if (!enabled) {
    return;
  }
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  std::fprintf(stderr, "lunetta-trace %s %lld\n", stage,
               static_cast<long long>(std::chrono::nanoseconds(now).count()));
}

}  // namespace lunetta
