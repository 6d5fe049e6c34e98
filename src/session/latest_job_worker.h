#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>
#include <utility>

namespace lunetta {

/// One worker thread that runs the jobs it is given one at a time, and of those given while one
/// runs only the newest: a job that is still waiting when another comes is dropped unrun. For work
/// whose later requests make the earlier ones pointless, such as decoding the photo of the month
/// the user has scrolled past.
class LatestJobWorker {
 public:
  LatestJobWorker() = default;
  /// A running job finishes first; a waiting one never runs.
  ~LatestJobWorker() = default;
  LatestJobWorker(const LatestJobWorker&) = delete;
  LatestJobWorker& operator=(const LatestJobWorker&) = delete;

  void Post(std::function<void()> job) {
    std::function<void()> dropped;
    {
      const std::lock_guard lock(mutex_);
      dropped = std::exchange(waiting_, std::move(job));
      if (!thread_.joinable()) {
        // Started with the first job: a program that never defers a decode has no extra thread.
        thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
      }
    }
    wake_.notify_one();
    // `dropped` goes here, outside the lock: what it holds may take a while to release.
  }

 private:
  void Run(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, stop, [this] { return static_cast<bool>(waiting_); });
      // Stopped, a job that still waits is not run: its result would go nowhere.
      if (stop.stop_requested()) {
        return;
      }
      std::function<void()> job = std::exchange(waiting_, {});
      lock.unlock();
      job();
      job = {};
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::function<void()> waiting_;
  std::jthread thread_;  // last: stopped and joined before the rest goes
};

}  // namespace lunetta
