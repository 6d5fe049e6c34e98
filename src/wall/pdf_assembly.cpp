#include "wall/pdf_assembly.h"

#include <unistd.h>

#include <array>
#include <charconv>
#include <exception>
#include <memory>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <string>
#include <vector>

#include "platform/file_io.h"

namespace lunetta {

namespace {

constexpr char kPhotoName[] = "/LunettaPhoto";

// A number as PDF content writes it: no exponent, and a point whatever the C locale says.
std::string Number(double value) {
  std::array<char, 64> buffer{};
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                          std::chars_format::fixed, 4);
  std::string text(buffer.data(), error == std::errc() ? end : buffer.data());
  // Trailing zeros say nothing.
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
      text.pop_back();
    }
  }
  return text == "-0" ? "0" : text;
}

std::string Numbers(std::initializer_list<double> values) {
  std::string text;
  for (double value : values) {
    text += Number(value);
    text += ' ';
  }
  return text;
}

QPDFObjectHandle Box(const PdfBox& box) {
  return QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{
      QPDFObjectHandle::newReal(Number(box.left)), QPDFObjectHandle::newReal(Number(box.bottom)),
      QPDFObjectHandle::newReal(Number(box.right)), QPDFObjectHandle::newReal(Number(box.top))});
}

// Writes what qpdf makes into the atomic file; the first failure is kept for the caller.
class AtomicFilePipeline final : public Pipeline {
 public:
  explicit AtomicFilePipeline(AtomicFileWriter& out)
      : Pipeline("atomic file", nullptr), out_(out) {}
  void write(unsigned char const* data, size_t length) override {
    if (!error_) {
      error_ = out_.write(std::string_view(reinterpret_cast<const char*>(data), length));
    }
  }
  void finish() override {}
  const std::error_code& error() const { return error_; }

 private:
  AtomicFileWriter& out_;
  std::error_code error_;
};

// Thrown from a photo's data provider to end the write; the reason is kept apart, since the PDF
// library may report the exception in words of its own.
struct WriteStopped {};

struct Stop {
  std::stop_token token;
  std::optional<Failure> failure;
  bool cancelled = false;
};

// Writes a photo's JPEG data: the header segments decoding needs, then the file from its first
// scan to its end of image, read a piece at a time.
void ProvidePhoto(const PrintPhoto& photo, Pipeline& pipeline, Stop& stop) {
  if (stop.token.stop_requested()) {
    stop.cancelled = true;
    throw WriteStopped{};
  }
  const auto fail = [&stop](Failure failure) {
    stop.failure = std::move(failure);
    throw WriteStopped{};
  };
  std::error_code error;
  UniqueFd fd = OpenRegularFile(photo.data, error);
  if (error) {
    fail(ReadingFailure(photo.data, error));
  }
  pipeline.write(reinterpret_cast<const unsigned char*>(photo.jpeg.header.data()),
                 photo.jpeg.header.size());
  std::vector<unsigned char> buffer(std::size_t{1} << 20);
  std::uint64_t offset = photo.jpeg.scanOffset;
  while (offset < photo.jpeg.end) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), photo.jpeg.end - offset));
    const ssize_t count = ::pread(fd.get(), buffer.data(), want, static_cast<off_t>(offset));
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count < 0) {
      fail(ReadingFailure(photo.data, std::error_code(errno, std::generic_category())));
    }
    if (count == 0) {
      fail(Failure(Fault::Truncated, photo.data));  // cut short since it was looked at
    }
    pipeline.write(buffer.data(), static_cast<std::size_t>(count));
    offset += static_cast<std::uint64_t>(count);
  }
  pipeline.finish();
}

QPDFObjectHandle PhotoObject(QPDF& pdf, const PrintPhoto& photo, Stop& stop) {
  QPDFObjectHandle image = QPDFObjectHandle::newStream(&pdf);
  QPDFObjectHandle dictionary = image.getDict();
  dictionary.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
  dictionary.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
  dictionary.replaceKey("/Width", QPDFObjectHandle::newInteger(photo.jpeg.width));
  dictionary.replaceKey("/Height", QPDFObjectHandle::newInteger(photo.jpeg.height));
  dictionary.replaceKey(
      "/ColorSpace",
      QPDFObjectHandle::newName(photo.jpeg.components == 1 ? "/DeviceGray" : "/DeviceRGB"));
  dictionary.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
  image.replaceStreamData(
      [&photo, &stop](Pipeline* pipeline) { ProvidePhoto(photo, *pipeline, stop); },
      QPDFObjectHandle::newName("/DCTDecode"), QPDFObjectHandle::newNull());
  return image;
}

void AddPhoto(QPDF& pdf, QPDFPageObjectHelper& page, const PageFinish& finish, Stop& stop) {
  QPDFObjectHandle resources = page.getAttribute("/Resources", true);
  if (!resources.isDictionary()) {
    resources = QPDFObjectHandle::newDictionary();
    page.getObjectHandle().replaceKey("/Resources", resources);
  }
  QPDFObjectHandle objects = resources.getKey("/XObject");
  if (!objects.isDictionary()) {
    objects = QPDFObjectHandle::newDictionary();
  } else if (objects.isIndirect()) {
    objects = objects.shallowCopy();
  }
  resources.replaceKey("/XObject", objects);
  objects.replaceKey(kPhotoName, PhotoObject(pdf, *finish.photo, stop));
  page.addPageContents(
      QPDFObjectHandle::newStream(
          &pdf, PhotoContent(*finish.photo, finish.area, finish.frame.media.height, kPhotoName)),
      true);
}

// Sets the page's boxes and moves Qt's drawing, made against a media box of whole points, onto
// the exact one.
void SetBoxes(QPDF& pdf, QPDFPageObjectHelper& page, const PageFrame& frame) {
  QPDFObjectHandle object = page.getObjectHandle();
  const QPDFObjectHandle::Rectangle drawn = page.getMediaBox().getArrayAsRectangle();
  const double shift = frame.media.height - (drawn.ury - drawn.lly);
  page.addPageContents(QPDFObjectHandle::newStream(&pdf, "q 1 0 0 1 0 " + Number(shift) + " cm\n"),
                       true);
  page.addPageContents(QPDFObjectHandle::newStream(&pdf, std::string("Q\n")), false);
  object.replaceKey("/MediaBox", Box(ToPdfBox(frame.media, frame)));
  object.removeKey("/CropBox");
  object.replaceKey("/BleedBox", Box(ToPdfBox(frame.bleed, frame)));
  object.replaceKey("/TrimBox", Box(ToPdfBox(frame.trim, frame)));
}

}  // namespace

std::string PhotoContent(const PrintPhoto& photo, const PointRect& area, double pageHeight,
                         std::string_view name) {
  const EmbeddableJpeg& jpeg = photo.jpeg;
  const bool quarter = jpeg.orientation >= 5;
  const double uprightWidth = quarter ? jpeg.height : jpeg.width;
  const double uprightHeight = quarter ? jpeg.width : jpeg.height;
  const double sx = area.width / photo.crop.width;
  const double sy = area.height / photo.crop.height;
  const PointRect whole{area.x - photo.crop.x * sx, area.y - photo.crop.y * sy, uprightWidth * sx,
                        uprightHeight * sy};
  // The image space's unit square, (0, 0) at the stored picture's bottom left, as it lands on the
  // page: the stored picture turned upright by its EXIF orientation, then stretched over `whole`.
  const auto land = [&](double a, double b) {
    const double u = a;
    const double v = 1 - b;  // from the stored picture's top
    double x = u;
    double y = v;
    switch (jpeg.orientation) {
      case 2:
        x = 1 - u;
        y = v;
        break;
      case 3:
        x = 1 - u;
        y = 1 - v;
        break;
      case 4:
        x = u;
        y = 1 - v;
        break;
      case 5:
        x = v;
        y = u;
        break;
      case 6:
        x = 1 - v;
        y = u;
        break;
      case 7:
        x = 1 - v;
        y = 1 - u;
        break;
      case 8:
        x = v;
        y = 1 - u;
        break;
      default:
        break;
    }
    return std::pair{whole.x + x * whole.width, pageHeight - (whole.y + y * whole.height)};
  };
  const auto [e, f] = land(0, 0);
  const auto [ax, ay] = land(1, 0);
  const auto [cx, cy] = land(0, 1);
  return "q\n" + Numbers({area.x, pageHeight - area.bottom(), area.width, area.height}) +
         "re W n\n" + Numbers({ax - e, ay - f, cx - e, cy - f, e, f}) + "cm\n" + std::string(name) +
         " Do\nQ\n";
}

Status FinishPdf(std::string_view drawn, const std::vector<PageFinish>& pages,
                 AtomicFileWriter& out, std::stop_token stop, bool& cancelled) {
  Stop stopping{std::move(stop), std::nullopt, false};
  AtomicFilePipeline pipeline(out);
  try {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processMemoryFile("drawn pages", drawn.data(), drawn.size());
    std::vector<QPDFPageObjectHelper> drawnPages = QPDFPageDocumentHelper(pdf).getAllPages();
    if (drawnPages.size() != pages.size()) {
      return Failure(Fault::EncodeFailed, {}, {}, QStringLiteral("page count"));
    }
    for (std::size_t i = 0; i < pages.size(); ++i) {
      SetBoxes(pdf, drawnPages[i], pages[i].frame);
      if (pages[i].photo) {
        AddPhoto(pdf, drawnPages[i], pages[i], stopping);
      }
    }
    if (stopping.token.stop_requested()) {
      cancelled = true;
      return {};
    }
    QPDFWriter writer(pdf);
    writer.setOutputPipeline(&pipeline);
    // Qt's streams are compressed already and the photos are JPEG: both go through as they are.
    writer.setDecodeLevel(qpdf_dl_none);
    writer.write();
  } catch (const WriteStopped&) {
  } catch (const std::exception& error) {
    if (!stopping.failure && !stopping.cancelled) {
      return Failure(Fault::EncodeFailed, {}, {}, QString::fromUtf8(error.what()));
    }
  }
  cancelled = stopping.cancelled;
  if (stopping.failure) {
    return *stopping.failure;
  }
  if (pipeline.error()) {
    return Failure(Fault::CannotWrite, {}, pipeline.error());
  }
  return {};
}

}  // namespace lunetta
