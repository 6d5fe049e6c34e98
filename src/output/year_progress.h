#pragma once

#include <QString>
#include <functional>
#include <stop_token>

#include "session/year_export.h"

class QWidget;

namespace lunetta {

/// Tells how many months of how many are done; called from the export's own thread.
using YearProgress = std::function<void(int done, int total)>;

/// An export that reports its progress and stops when asked.
using YearJob = std::function<YearOutcome(const YearProgress& progress, std::stop_token stop)>;

/// Runs `job` on a thread of its own while a progress dialog over `window` shows `label` and the
/// months done, with a cancel button that asks the job to stop. The window keeps painting; its
/// controls wait, as under any modal dialog. Returns when the job has ended.
YearOutcome RunWithProgress(QWidget* window, const QString& label, const YearJob& job);

}  // namespace lunetta
