#include "wall/pdf_rewrite.h"

#include <charconv>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <stdexcept>
#include <system_error>

namespace lunetta {

namespace {

QPDFObjectHandle Box(const PdfCorners& corners) {
  std::vector<QPDFObjectHandle> numbers;
  for (const double value : corners) {
    numbers.push_back(QPDFObjectHandle::newReal(PdfNumber(value)));
  }
  return QPDFObjectHandle::newArray(numbers);
}

// Hands what qpdf writes on to the caller.
class ForwardingPipeline final : public Pipeline {
 public:
  explicit ForwardingPipeline(const std::function<void(std::string_view)>& write)
      : Pipeline("output", nullptr), write_(write) {}
  void write(unsigned char const* data, size_t length) override {
    write_(std::string_view(reinterpret_cast<const char*>(data), length));
  }
  void finish() override {}

 private:
  const std::function<void(std::string_view)>& write_;
};

QPDFObjectHandle ImageObject(QPDF& pdf, const PdfJpegImage& image) {
  QPDFObjectHandle object = QPDFObjectHandle::newStream(&pdf);
  QPDFObjectHandle dictionary = object.getDict();
  dictionary.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
  dictionary.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
  dictionary.replaceKey("/Width", QPDFObjectHandle::newInteger(image.width));
  dictionary.replaceKey("/Height", QPDFObjectHandle::newInteger(image.height));
  dictionary.replaceKey("/ColorSpace", QPDFObjectHandle::newName(
                                           image.components == 1 ? "/DeviceGray" : "/DeviceRGB"));
  dictionary.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
  object.replaceStreamData(
      [&image](Pipeline* pipeline) {
        image.data([pipeline](std::string_view bytes) {
          pipeline->write(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        });
        pipeline->finish();
      },
      QPDFObjectHandle::newName("/DCTDecode"), QPDFObjectHandle::newNull());
  return object;
}

void AddImage(QPDF& pdf, QPDFPageObjectHelper& page, const PdfJpegImage& image) {
  // The page's own resources: Qt shares one dictionary between pages.
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
  objects.replaceKey(kPdfImageName, ImageObject(pdf, image));
  page.addPageContents(QPDFObjectHandle::newStream(&pdf, image.content), true);
}

void ChangePage(QPDF& pdf, QPDFPageObjectHelper& page, const PdfPageChange& change) {
  const QPDFObjectHandle::Rectangle drawn = page.getMediaBox().getArrayAsRectangle();
  const double shift = change.media[3] - drawn.ury;
  page.addPageContents(
      QPDFObjectHandle::newStream(&pdf, "q 1 0 0 1 0 " + PdfNumber(shift) + " cm\n"), true);
  page.addPageContents(QPDFObjectHandle::newStream(&pdf, std::string("Q\n")), false);
  QPDFObjectHandle object = page.getObjectHandle();
  object.replaceKey("/MediaBox", Box(change.media));
  object.removeKey("/CropBox");
  object.replaceKey("/BleedBox", Box(change.bleed));
  object.replaceKey("/TrimBox", Box(change.trim));
  if (change.image) {
    AddImage(pdf, page, *change.image);  // first, under the drawing
  }
}

}  // namespace

std::string PdfNumber(double value) {
  char buffer[64];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
  std::string text(buffer, error == std::errc() ? end : buffer);
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);  // trailing zeros say nothing
    if (text.back() == '.') {
      text.pop_back();
    }
  }
  return text == "-0" || text.empty() ? "0" : text;
}

void RepeatPdfPages(std::string_view pdf, const std::vector<int>& order,
                    const std::function<void(std::string_view)>& write) {
  QPDF document;
  document.setSuppressWarnings(true);
  document.processMemoryFile("pages", pdf.data(), pdf.size());
  QPDFPageDocumentHelper helper(document);
  const std::vector<QPDFPageObjectHelper> pages = helper.getAllPages();
  for (const int index : order) {
    if (index < 0 || static_cast<std::size_t>(index) >= pages.size()) {
      throw std::out_of_range("no such page to repeat");
    }
  }
  for (const QPDFPageObjectHelper& page : pages) {
    helper.removePage(page);
  }
  std::vector<bool> placed(pages.size(), false);
  for (const int index : order) {
    QPDFObjectHandle page = pages[static_cast<std::size_t>(index)].getObjectHandle();
    // A page object stands in the page tree once; a copy of its dictionary shares the rest.
    if (placed[static_cast<std::size_t>(index)]) {
      page = document.makeIndirectObject(page.shallowCopy());
    }
    placed[static_cast<std::size_t>(index)] = true;
    helper.addPage(QPDFPageObjectHelper(page), false);
  }
  ForwardingPipeline output(write);
  QPDFWriter writer(document);
  writer.setOutputPipeline(&output);
  writer.setDecodeLevel(qpdf_dl_none);
  writer.write();
}

void RewritePdf(std::string_view drawn, const std::vector<PdfPageChange>& changes,
                const std::function<void(std::string_view)>& write) {
  QPDF pdf;
  pdf.setSuppressWarnings(true);
  pdf.processMemoryFile("drawn pages", drawn.data(), drawn.size());
  std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
  if (pages.size() != changes.size()) {
    throw std::runtime_error("the drawn document has another number of pages");
  }
  for (std::size_t i = 0; i < pages.size(); ++i) {
    ChangePage(pdf, pages[i], changes[i]);
  }
  ForwardingPipeline output(write);
  QPDFWriter writer(pdf);
  writer.setOutputPipeline(&output);
  // Qt's streams are compressed already and the photos are JPEG: both go through as they are.
  writer.setDecodeLevel(qpdf_dl_none);
  writer.write();
}

}  // namespace lunetta
