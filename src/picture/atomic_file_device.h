#pragma once

#include <QIODevice>
#include <string_view>
#include <system_error>

#include "platform/file_io.h"

namespace lunetta {

/// A write-only device over an open atomic file, so that an encoder or a document writer streams
/// into it without a staging copy. Open from construction; the file is committed by its owner.
class AtomicFileDevice final : public QIODevice {
 public:
  explicit AtomicFileDevice(AtomicFileWriter& writer) : writer_(writer) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }
  /// The first write error, if any: a writer then reports it instead of its own words.
  const std::error_code& failure() const { return failure_; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    failure_ = writer_.write(std::string_view(data, static_cast<std::size_t>(size)));
    return failure_ ? -1 : size;
  }

 private:
  AtomicFileWriter& writer_;
  std::error_code failure_;
};

}  // namespace lunetta
