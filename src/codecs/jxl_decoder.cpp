#include "codecs/jxl_decoder.h"

#include <jxl/decode.h>

#include <QIODevice>
#include <memory>
#include <vector>

#include "picture/decoded_rows.h"
#include "picture/load_picture_file.h"

namespace lunetta {

namespace {

// What libjxl 0.7 holds a pixel besides the output, measured with a margin: frames of 8 bits
// without alpha or animation go group by group; deeper samples keep 32 bits a channel; alpha,
// other extra channels and animation keep whole frames of floating-point channels.
constexpr double kLibraryBytesPerPixel = 4;
constexpr double kDeepLibraryBytesPerPixel = 16;
constexpr double kLayeredLibraryBytesPerPixel = 48;

struct DecoderDeleter {
  void operator()(JxlDecoder* decoder) const { JxlDecoderDestroy(decoder); }
};

// The picture's size as shown: libjxl turns it as the header's orientation says.
QSize ShownSize(const JxlBasicInfo& info) {
  const QSize size(static_cast<int>(info.xsize), static_cast<int>(info.ysize));
  return info.orientation >= JXL_ORIENT_TRANSPOSE ? size.transposed() : size;
}

double LibraryBytesPerPixel(const JxlBasicInfo& info) {
  if (info.num_extra_channels > 0 || info.have_animation) {
    return kLayeredLibraryBytesPerPixel;
  }
  return info.bits_per_sample > 8 ? kDeepLibraryBytesPerPixel : kLibraryBytesPerPixel;
}

}  // namespace

Result<DecodedPicture> DecodeJxl(QIODevice& device, QSize fitSize, PhotoFit fit, qint64 maxBytes) {
  if (device.size() > maxBytes) {
    return Failure::TooLarge({});
  }
  const QByteArray data = device.readAll();
  const std::unique_ptr<JxlDecoder, DecoderDeleter> decoder(JxlDecoderCreate(nullptr));
  if (!decoder ||
      JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BASIC_INFO | JXL_DEC_FULL_IMAGE) !=
          JXL_DEC_SUCCESS ||
      JxlDecoderSetInput(decoder.get(), reinterpret_cast<const uint8_t*>(data.constData()),
                         static_cast<std::size_t>(data.size())) != JXL_DEC_SUCCESS) {
    return Failure(Fault::Undecodable);
  }
  // The input is not closed: a file that ends before the picture does asks for more.
  JxlBasicInfo info{};
  JxlPixelFormat format{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
  std::vector<uint8_t> pixels;
  double peak = 0;
  for (;;) {
    const JxlDecoderStatus status = JxlDecoderProcessInput(decoder.get());
    if (status == JXL_DEC_BASIC_INFO) {
      if (JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS) {
        return Failure(Fault::Undecodable);
      }
      format.num_channels = info.alpha_bits > 0 ? 4 : 3;
      const QSize shown = ShownSize(info);
      const double area = double(info.xsize) * double(info.ysize);
      peak = double(data.size()) + area * (LibraryBytesPerPixel(info) + format.num_channels) +
             double(PictureFromRowsBytes(shown, info.alpha_bits > 0, fitSize, fit, 1));
      if (peak > double(maxBytes)) {
        return Failure::TooLarge(shown);
      }
    } else if (status == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
      std::size_t bytes = 0;
      const QSize shown = ShownSize(info);
      if (JxlDecoderImageOutBufferSize(decoder.get(), &format, &bytes) != JXL_DEC_SUCCESS ||
          bytes != std::size_t(format.num_channels) * std::size_t(shown.width()) *
                       std::size_t(shown.height())) {
        return Failure(Fault::Undecodable);
      }
      pixels.resize(bytes);
      if (JxlDecoderSetImageOutBuffer(decoder.get(), &format, pixels.data(), bytes) !=
          JXL_DEC_SUCCESS) {
        return Failure(Fault::Undecodable);
      }
    } else if (status == JXL_DEC_FULL_IMAGE) {
      break;  // the first frame: an animation shows as its first picture
    } else if (status == JXL_DEC_NEED_MORE_INPUT) {
      return Failure(Fault::Truncated);
    } else if (status == JXL_DEC_ERROR || status == JXL_DEC_SUCCESS) {
      return Failure(Fault::Undecodable);
    }
  }
  const QSize shown = ShownSize(info);
  const bool alpha = format.num_channels == 4;
  const DecodedRows rows{pixels.data(), qsizetype{format.num_channels} * shown.width(), shown,
                         alpha, info.alpha_premultiplied != 0};
  QImage picture = PictureFromRows(rows, fitSize, fit, 1);
  if (picture.isNull()) {
    return Failure::TooLarge(shown);
  }
  return DecodedPicture{std::move(picture), shown, static_cast<qint64>(peak)};
}

}  // namespace lunetta
