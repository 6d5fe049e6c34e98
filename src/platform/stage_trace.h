#pragma once

// Where the time of one run goes, for `make bench`. Standard library only, so every layer may note
// its stages.

namespace lunetta {

/// When the environment variable LUNETTA_TRACE is set, writes "lunetta-trace STAGE NANOSECONDS" to
/// standard error with the steady clock's time, at the moment `stage` names ("decoded",
/// "scaled", ...); does nothing otherwise.
void TraceStage(const char* stage);

}  // namespace lunetta
