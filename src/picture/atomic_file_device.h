#pragma once

#include <QIODevice>
#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/file_io.h"

namespace lunetta {

/// A write-only device over an open atomic file, so that an encoder or a document writer streams
/// into it without a staging copy of the whole file. Open from construction; the file is committed
/// by its owner, after Finish.
class AtomicFileDevice final : public QIODevice {
 public:
  explicit AtomicFileDevice(AtomicFileWriter& writer) : writer_(writer) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }
  /// Writes what is still gathered, and gives the first write error, if any: a writer then reports
  /// it instead of its own words.
  std::error_code Finish() {
    Drain();
    return failure_;
  }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    // Encoders write a row at a time: gathered, a picture takes a few system calls, not a thousand.
    const auto bytes = static_cast<std::size_t>(size);
    if (gathered_.size() + bytes > kGatherBytes) {
      Drain();
    }
    if (bytes >= kGatherBytes) {
      Put(std::string_view(data, bytes));
    } else {
      gathered_.append(data, bytes);
    }
    return failure_ ? -1 : size;
  }

 private:
  static constexpr std::size_t kGatherBytes = std::size_t{256} << 10;

  void Put(std::string_view bytes) {
    if (!failure_ && !bytes.empty()) {
      failure_ = writer_.write(bytes);
    }
  }
  void Drain() {
    Put(gathered_);
    gathered_.clear();
  }

  AtomicFileWriter& writer_;
  std::string gathered_;
  std::error_code failure_;
};

}  // namespace lunetta
