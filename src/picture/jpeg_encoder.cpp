#include "picture/jpeg_encoder.h"

#include <QIODevice>
#include <algorithm>
#include <array>

#include "picture/jpeg_errors.h"

namespace lunetta {

namespace {

// Hands libjpeg's output to the device a buffer at a time. A write that fails is left for the
// device to report; the rest is dropped, so the encoder runs to its end either way.
struct DeviceDestination {
  jpeg_destination_mgr pub;  // first, so that libjpeg's pointer to it points to the whole
  QIODevice* device;
  std::array<JOCTET, 64 * 1024> buffer;

  void Write(std::size_t size) {
    if (device != nullptr && size > 0 &&
        device->write(reinterpret_cast<const char*>(buffer.data()), static_cast<qint64>(size)) !=
            static_cast<qint64>(size)) {
      device = nullptr;
    }
  }
  void Reset() {
    pub.next_output_byte = buffer.data();
    pub.free_in_buffer = buffer.size();
  }
};

DeviceDestination& DestinationOf(j_compress_ptr info) {
  return *reinterpret_cast<DeviceDestination*>(info->dest);
}

struct Job {
  jpeg_compress_struct info{};
  JpegErrors errors{};
  DeviceDestination destination{};
  bool created = false;

  ~Job() {
    if (created) {
      jpeg_destroy_compress(&info);
    }
  }
};

// Everything that calls into libjpeg, in one frame that holds nothing a longjmp must destroy.
bool Compress(Job& job, const QImage& image, int quality) {
  if (setjmp(job.errors.jump) != 0) {
    return false;
  }
  jpeg_compress_struct& info = job.info;
  info.err = InstallJpegErrors(job.errors);
  jpeg_create_compress(&info);
  job.created = true;

  info.dest = &job.destination.pub;
  job.destination.pub.init_destination = [](j_compress_ptr info) { DestinationOf(info).Reset(); };
  job.destination.pub.empty_output_buffer = [](j_compress_ptr info) -> boolean {
    DeviceDestination& destination = DestinationOf(info);
    destination.Write(destination.buffer.size());
    destination.Reset();
    return TRUE;
  };
  job.destination.pub.term_destination = [](j_compress_ptr info) {
    DeviceDestination& destination = DestinationOf(info);
    destination.Write(destination.buffer.size() - destination.pub.free_in_buffer);
  };

  info.image_width = static_cast<JDIMENSION>(image.width());
  info.image_height = static_cast<JDIMENSION>(image.height());
  info.input_components = 4;
  // A 32-bit pixel is 0xffRRGGBB in the machine's own byte order.
  info.in_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
  info.density_unit = 1;  // dots per inch
  info.X_density =
      static_cast<UINT16>(std::clamp(qRound(image.dotsPerMeterX() * 0.0254), 1, 65535));
  info.Y_density =
      static_cast<UINT16>(std::clamp(qRound(image.dotsPerMeterY() * 0.0254), 1, 65535));
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

}  // namespace

Status EncodeJpeg(const QImage& image, int quality, QIODevice& device) {
  const QImage rgb =
      image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
          ? image
          : image.convertToFormat(QImage::Format_RGB32);
  Job job;
  job.destination.device = &device;
  if (!Compress(job, rgb, quality)) {
    return Failure(Fault::EncodeFailed, {}, {}, QString::fromLatin1(job.errors.message));
  }
  return {};
}

}  // namespace lunetta
