#pragma once

// Tests that hand a FIFO to code that must not wait on it. A regression then fails the test
// instead of hanging it until the CTest timeout.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <future>
#include <thread>
#include <utility>

namespace lunetta::test_support {

inline void MakeFifo(const std::filesystem::path& path) {
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
}

/// Runs `work` on another thread and returns its result. When it has not returned within a few
/// seconds the test fails, and the FIFO is opened and closed again and again until `work` gives
/// up: a reader stuck in open() or read() then sees end of file, a writer a broken pipe.
template <class Work>
auto WithoutBlocking(const std::filesystem::path& fifo, Work work) {
  auto result = std::async(std::launch::async, std::move(work));
  if (result.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
    ADD_FAILURE() << "blocked on the FIFO " << fifo;
    std::signal(SIGPIPE, SIG_IGN);
    while (result.wait_for(std::chrono::milliseconds(0)) == std::future_status::timeout) {
      const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
      std::array<char, 4096> sink{};
      for (int i = 0; i < 5 && fd >= 0; ++i) {
        while (::read(fd, sink.data(), sink.size()) > 0) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      if (fd >= 0) {
        ::close(fd);
      }
    }
  }
  return result.get();
}

}  // namespace lunetta::test_support
