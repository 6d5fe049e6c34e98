#include "codecs/heif_layout.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace lunetta {

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint32_t Fourcc(const char (&name)[5]) {
  return std::uint32_t(std::uint8_t(name[0])) << 24 | std::uint32_t(std::uint8_t(name[1])) << 16 |
         std::uint32_t(std::uint8_t(name[2])) << 8 | std::uint32_t(std::uint8_t(name[3]));
}

// libheif refuses more than these; so does this reader, before it would hold them.
constexpr std::size_t kMaxItems = 20000;
constexpr std::size_t kMaxExtentsPerItem = 32;

// Big-endian numbers from a byte range. Reading past its end reads zeros and marks it failed.
class Reader {
 public:
  explicit Reader(Bytes bytes) : bytes_(bytes) {}

  std::uint64_t Number(std::size_t size) {
    if (size > 8 || size > left()) {
      Fail();
      return 0;
    }
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
      value = value << 8 | bytes_[at_++];
    }
    return value;
  }
  std::uint32_t U8() { return static_cast<std::uint32_t>(Number(1)); }
  std::uint32_t U16() { return static_cast<std::uint32_t>(Number(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Number(4)); }
  Bytes Take(std::uint64_t size) {
    if (size > left()) {
      Fail();
      return {};
    }
    const Bytes part = bytes_.subspan(at_, static_cast<std::size_t>(size));
    at_ += static_cast<std::size_t>(size);
    return part;
  }
  Bytes rest() const { return bytes_.subspan(at_); }
  std::size_t left() const { return bytes_.size() - at_; }
  bool failed() const { return failed_; }

 private:
  void Fail() {
    failed_ = true;
    at_ = bytes_.size();
  }

  Bytes bytes_;
  std::size_t at_ = 0;
  bool failed_ = false;
};

// Bits, most significant first, as both codecs' headers store them.
class BitReader {
 public:
  explicit BitReader(Bytes bytes) : bytes_(bytes) {}

  std::uint32_t Read(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
      if (at_ >= bytes_.size() * 8) {
        failed_ = true;
        return 0;
      }
      value = value << 1 | ((bytes_[at_ / 8] >> (7 - at_ % 8)) & 1);
      ++at_;
    }
    return value;
  }
  void Skip(std::size_t count) {
    at_ += count;
    failed_ = failed_ || at_ > bytes_.size() * 8;
  }
  // ue(v) of HEVC; uvlc() of AV1 is the same code up to 32 bits.
  std::uint32_t Golomb() {
    int zeros = 0;
    while (Read(1) == 0 && !failed_) {
      if (++zeros > 31) {
        failed_ = true;
        return 0;
      }
    }
    return static_cast<std::uint32_t>((std::uint64_t(1) << zeros) - 1 + Read(zeros));
  }
  bool failed() const { return failed_; }

 private:
  Bytes bytes_;
  std::size_t at_ = 0;
  bool failed_ = false;
};

struct Box {
  std::uint32_t type = 0;
  Bytes body;
};

// The boxes `bytes` holds; none when one claims more bytes than are left.
std::optional<std::vector<Box>> Boxes(Bytes bytes) {
  std::vector<Box> boxes;
  Reader reader(bytes);
  while (reader.left() > 0) {
    std::uint64_t size = reader.U32();
    const std::uint32_t type = reader.U32();
    std::uint64_t header = 8;
    if (size == 1) {
      size = reader.Number(8);
      header = 16;
    } else if (size == 0) {
      size = header + reader.left();
    }
    if (reader.failed() || size < header || size - header > reader.left()) {
      return std::nullopt;
    }
    boxes.push_back({type, reader.Take(size - header)});
  }
  return boxes;
}

struct Extent {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;  // 0: to the end
};

struct Item {
  std::uint32_t type = 0;
  bool located = false;  // iloc gives its data, in this file
  unsigned method = 0;   // 0: file offsets, 1: offsets in idat
  std::uint64_t base = 0;
  std::vector<Extent> extents;
  std::vector<std::uint32_t> properties;  // 1-based indices into ipco
};

struct Reference {
  std::uint32_t type = 0;
  std::uint32_t from = 0;
  std::vector<std::uint32_t> to;
};

struct Meta {
  std::uint32_t primary = 0;
  std::map<std::uint32_t, Item> items;
  std::vector<Reference> references;
  std::vector<Box> properties;
  Bytes idat;
};

using Fault = HeifLayoutFault;

template <typename T>
using Or = std::variant<T, Fault>;

std::pair<unsigned, std::uint32_t> FullBoxHeader(Reader& reader) {
  const unsigned version = reader.U8();
  const auto flags = static_cast<std::uint32_t>(reader.Number(3));
  return {version, flags};
}

bool ReadItemInfo(Bytes body, Meta& meta) {
  Reader reader(body);
  const unsigned version = FullBoxHeader(reader).first;
  reader.Number(version == 0 ? 2 : 4);
  const std::optional<std::vector<Box>> entries = Boxes(reader.rest());
  if (reader.failed() || !entries || entries->size() > kMaxItems) {
    return false;
  }
  for (const Box& entry : *entries) {
    Reader infe(entry.body);
    const unsigned infeVersion = FullBoxHeader(infe).first;
    if (entry.type != Fourcc("infe") || infeVersion < 2) {
      continue;  // before version 2 an entry names no item type
    }
    const std::uint32_t id = infeVersion == 2 ? infe.U16() : infe.U32();
    infe.U16();  // protection index
    const std::uint32_t type = infe.U32();
    if (infe.failed()) {
      return false;
    }
    meta.items[id].type = type;
  }
  return true;
}

bool ReadItemLocations(Bytes body, Meta& meta) {
  Reader reader(body);
  const unsigned version = FullBoxHeader(reader).first;
  const unsigned sizes = reader.U8();
  const unsigned more = reader.U8();
  const std::size_t offsetSize = sizes >> 4, lengthSize = sizes & 15, baseSize = more >> 4;
  const std::size_t indexSize = version == 1 || version == 2 ? more & 15 : 0;
  const std::uint32_t count = version < 2 ? reader.U16() : reader.U32();
  if (version > 2 || count > kMaxItems) {
    return false;
  }
  for (std::uint32_t i = 0; i < count && !reader.failed(); ++i) {
    const std::uint32_t id = version < 2 ? reader.U16() : reader.U32();
    Item& item = meta.items[id];
    item.method = version == 1 || version == 2 ? reader.U16() & 15 : 0;
    item.located = reader.U16() == 0;  // another data reference: another file
    item.base = reader.Number(baseSize);
    const std::uint32_t extents = reader.U16();
    if (extents > kMaxExtentsPerItem) {
      return false;
    }
    item.extents.clear();
    for (std::uint32_t e = 0; e < extents; ++e) {
      reader.Number(indexSize);
      const std::uint64_t offset = reader.Number(offsetSize);
      item.extents.push_back({offset, reader.Number(lengthSize)});
    }
  }
  return !reader.failed() && meta.items.size() <= kMaxItems;
}

bool ReadReferences(Bytes body, Meta& meta) {
  Reader reader(body);
  const unsigned version = FullBoxHeader(reader).first;
  const std::optional<std::vector<Box>> boxes = Boxes(reader.rest());
  if (reader.failed() || !boxes) {
    return false;
  }
  for (const Box& box : *boxes) {
    Reader references(box.body);
    Reference reference{box.type, version == 0 ? references.U16() : references.U32(), {}};
    const std::uint32_t count = references.U16();
    for (std::uint32_t i = 0; i < count && !references.failed(); ++i) {
      reference.to.push_back(version == 0 ? references.U16() : references.U32());
    }
    if (references.failed()) {
      return false;
    }
    meta.references.push_back(std::move(reference));
  }
  return true;
}

bool ReadAssociations(Bytes body, Meta& meta) {
  Reader reader(body);
  const auto [version, flags] = FullBoxHeader(reader);
  const std::uint32_t entries = reader.U32();
  for (std::uint32_t i = 0; i < entries && !reader.failed(); ++i) {
    const std::uint32_t id = version < 1 ? reader.U16() : reader.U32();
    const std::uint32_t count = reader.U8();
    std::vector<std::uint32_t> properties;
    for (std::uint32_t k = 0; k < count; ++k) {
      properties.push_back(flags & 1 ? reader.U16() & 0x7FFF : reader.U8() & 0x7F);
    }
    if (reader.failed() || (!meta.items.contains(id) && meta.items.size() >= kMaxItems)) {
      return false;
    }
    std::vector<std::uint32_t>& held = meta.items[id].properties;
    held.insert(held.end(), properties.begin(), properties.end());
  }
  return !reader.failed();
}

std::optional<Meta> ReadMeta(Bytes body) {
  Reader reader(body);
  FullBoxHeader(reader);
  const std::optional<std::vector<Box>> boxes = Boxes(reader.rest());
  if (reader.failed() || !boxes) {
    return std::nullopt;
  }
  Meta meta;
  bool read = true;
  for (const Box& box : *boxes) {
    if (box.type == Fourcc("pitm")) {
      Reader pitm(box.body);
      meta.primary = FullBoxHeader(pitm).first == 0 ? pitm.U16() : pitm.U32();
      read = !pitm.failed();
    } else if (box.type == Fourcc("iinf")) {
      read = ReadItemInfo(box.body, meta);
    } else if (box.type == Fourcc("iloc")) {
      read = ReadItemLocations(box.body, meta);
    } else if (box.type == Fourcc("iref")) {
      read = ReadReferences(box.body, meta);
    } else if (box.type == Fourcc("idat")) {
      meta.idat = box.body;
    } else if (box.type == Fourcc("iprp")) {
      const std::optional<std::vector<Box>> parts = Boxes(box.body);
      read = parts.has_value();
      for (std::size_t i = 0; read && i < parts->size(); ++i) {
        const Box& part = (*parts)[i];
        if (part.type == Fourcc("ipco")) {
          std::optional<std::vector<Box>> properties = Boxes(part.body);
          read = properties.has_value();
          if (read) {
            meta.properties = std::move(*properties);
          }
        } else if (part.type == Fourcc("ipma")) {
          read = ReadAssociations(part.body, meta);
        }
      }
    }
    if (!read) {
      return std::nullopt;
    }
  }
  return meta;
}

// The first property of `type` associated with `item`.
const Box* PropertyOf(const Meta& meta, const Item& item, std::uint32_t type) {
  for (const std::uint32_t index : item.properties) {
    if (index >= 1 && index <= meta.properties.size() && meta.properties[index - 1].type == type) {
      return &meta.properties[index - 1];
    }
  }
  return nullptr;
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> SpatialExtent(const Meta& meta,
                                                                     const Item& item) {
  const Box* ispe = PropertyOf(meta, item, Fourcc("ispe"));
  if (ispe == nullptr) {
    return std::nullopt;
  }
  Reader reader(ispe->body);
  FullBoxHeader(reader);
  const std::uint32_t width = reader.U32();
  const std::uint32_t height = reader.U32();
  if (reader.failed()) {
    return std::nullopt;
  }
  return std::pair{width, height};
}

// The byte ranges of an item's data.
Or<std::vector<Bytes>> ItemData(const Meta& meta, const Item& item, Bytes file) {
  if (!item.located || item.method > 1 || item.extents.empty()) {
    return Fault::Unsupported;
  }
  const Bytes from = item.method == 0 ? file : meta.idat;
  std::vector<Bytes> parts;
  for (const Extent& extent : item.extents) {
    const std::uint64_t offset = item.base + extent.offset;
    if (offset < item.base || offset > from.size()) {
      return item.method == 0 ? Fault::Truncated : Fault::Unsupported;
    }
    const std::uint64_t length = extent.length == 0 ? from.size() - offset : extent.length;
    if (length > from.size() - offset) {
      return item.method == 0 ? Fault::Truncated : Fault::Unsupported;
    }
    parts.push_back(
        from.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length)));
  }
  return parts;
}

// A coded picture's size and samples, as its parameter sets give them; the largest of each when
// there are several.
struct Coded {
  bool av1 = false;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bitDepth = 0;
  unsigned samplesPerTwoPixels = 0;  // 2 monochrome, 3 for 4:2:0, 4 for 4:2:2, 6 for 4:4:4

  void Merge(const Coded& other) {
    width = std::max(width, other.width);
    height = std::max(height, other.height);
    bitDepth = std::max(bitDepth, other.bitDepth);
    samplesPerTwoPixels = std::max(samplesPerTwoPixels, other.samplesPerTwoPixels);
  }
};

constexpr unsigned kSamplesPerTwoPixels[] = {2, 3, 4, 6};  // by chroma format: 4:0:0 to 4:4:4

// The HEVC sequence parameter set in the NAL unit `nal`.
std::optional<Coded> HevcSequence(Bytes nal) {
  if (nal.size() < 3 || ((nal[0] >> 1) & 0x3F) != 33) {
    return std::nullopt;
  }
  // The fields looked at come early: a few hundred bytes hold them, without emulation prevention.
  std::vector<std::uint8_t> payload;
  int zeros = 0;
  for (std::size_t i = 2; i < nal.size() && payload.size() < 512; ++i) {
    if (zeros >= 2 && nal[i] == 3) {
      zeros = 0;
      continue;
    }
    zeros = nal[i] == 0 ? zeros + 1 : 0;
    payload.push_back(nal[i]);
  }
  BitReader bits(payload);
  bits.Skip(4);  // video parameter set
  const std::uint32_t subLayers = bits.Read(3);
  bits.Skip(1 + 96);  // temporal nesting, the general profile, tier and level
  std::array<bool, 8> profiles{}, levels{};
  for (std::uint32_t i = 0; i < subLayers; ++i) {
    profiles[i] = bits.Read(1) != 0;
    levels[i] = bits.Read(1) != 0;
  }
  if (subLayers > 0) {
    bits.Skip(2 * (8 - subLayers));
  }
  for (std::uint32_t i = 0; i < subLayers; ++i) {
    bits.Skip((profiles[i] ? 88 : 0) + (levels[i] ? 8 : 0));
  }
  bits.Golomb();  // its own identifier
  const std::uint32_t chroma = bits.Golomb();
  if (chroma == 3) {
    bits.Skip(1);
  }
  Coded coded;
  coded.width = bits.Golomb();
  coded.height = bits.Golomb();
  if (bits.Read(1) != 0) {  // conformance window
    for (int i = 0; i < 4; ++i) {
      bits.Golomb();
    }
  }
  const std::uint32_t luma = bits.Golomb();
  const std::uint32_t chromaDepth = bits.Golomb();
  if (bits.failed() || chroma > 3 || luma > 8 || chromaDepth > 8) {
    return std::nullopt;
  }
  coded.bitDepth = 8 + static_cast<int>(std::max(luma, chromaDepth));
  coded.samplesPerTwoPixels = kSamplesPerTwoPixels[chroma];
  return coded;
}

// The AV1 sequence header in the payload of a sequence header OBU.
std::optional<Coded> Av1Sequence(Bytes payload) {
  BitReader bits(payload);
  const std::uint32_t profile = bits.Read(3);
  bits.Skip(1);  // still picture
  const bool reduced = bits.Read(1) != 0;
  if (reduced) {
    bits.Skip(5);
  } else {
    bool decoderModel = false;
    std::uint32_t delayBits = 0;
    if (bits.Read(1) != 0) {  // timing info
      bits.Skip(64);
      if (bits.Read(1) != 0) {
        bits.Golomb();
      }
      decoderModel = bits.Read(1) != 0;
      if (decoderModel) {
        delayBits = bits.Read(5) + 1;
        bits.Skip(32 + 10);
      }
    }
    const bool displayDelay = bits.Read(1) != 0;
    const std::uint32_t points = bits.Read(5) + 1;
    for (std::uint32_t i = 0; i < points && !bits.failed(); ++i) {
      bits.Skip(12);
      if (bits.Read(5) > 7) {
        bits.Skip(1);
      }
      if (decoderModel && bits.Read(1) != 0) {
        bits.Skip(2 * delayBits + 1);
      }
      if (displayDelay && bits.Read(1) != 0) {
        bits.Skip(4);
      }
    }
  }
  const int widthBits = static_cast<int>(bits.Read(4)) + 1;
  const int heightBits = static_cast<int>(bits.Read(4)) + 1;
  Coded coded;
  coded.width = bits.Read(widthBits) + 1;
  coded.height = bits.Read(heightBits) + 1;
  if (!reduced && bits.Read(1) != 0) {  // frame identifiers
    bits.Skip(7);
  }
  bits.Skip(3);
  if (!reduced) {
    bits.Skip(4);
    const bool orderHint = bits.Read(1) != 0;
    if (orderHint) {
      bits.Skip(2);
    }
    const std::uint32_t screenContent = bits.Read(1) != 0 ? 2 : bits.Read(1);
    if (screenContent > 0 && bits.Read(1) == 0) {
      bits.Skip(1);
    }
    if (orderHint) {
      bits.Skip(3);
    }
  }
  bits.Skip(3);  // superres, CDEF, loop restoration
  const bool high = bits.Read(1) != 0;
  coded.bitDepth = profile == 2 && high ? (bits.Read(1) != 0 ? 12 : 10) : high ? 10 : 8;
  const bool monochrome = profile != 1 && bits.Read(1) != 0;
  if (bits.failed() || profile > 2) {
    return std::nullopt;
  }
  // Profile 2 at 12 bits may subsample either way: counted as 4:4:4, the most it can take.
  coded.samplesPerTwoPixels = monochrome             ? 2
                              : profile == 0         ? 3
                              : profile == 1         ? 6
                              : coded.bitDepth == 12 ? 6
                                                     : 4;
  return coded;
}

// The parameter sets among HEVC NAL units of `lengthSize`-byte lengths.
void HevcUnits(Bytes data, std::size_t lengthSize, std::optional<Coded>& coded) {
  Reader reader(data);
  while (reader.left() > lengthSize) {
    const Bytes nal = reader.Take(reader.Number(lengthSize));
    if (const std::optional<Coded> sequence = HevcSequence(nal)) {
      coded ? coded->Merge(*sequence) : void(coded = sequence);
    }
  }
}

// The sequence headers among the OBUs in `data`.
void Av1Units(Bytes data, std::optional<Coded>& coded) {
  Reader reader(data);
  while (reader.left() > 0 && !reader.failed()) {
    const std::uint32_t header = reader.U8();
    if (header & 4) {
      reader.U8();  // extension
    }
    std::uint64_t size = reader.left();
    if (header & 2) {
      size = 0;
      for (int i = 0; i < 8; ++i) {
        const std::uint32_t byte = reader.U8();
        size |= std::uint64_t(byte & 0x7F) << (7 * i);
        if ((byte & 0x80) == 0) {
          break;
        }
      }
    }
    const Bytes payload = reader.Take(size);
    if (((header >> 3) & 15) == 1) {
      if (const std::optional<Coded> sequence = Av1Sequence(payload)) {
        coded ? coded->Merge(*sequence) : void(coded = sequence);
      }
    }
  }
}

// Limits the coded data looked at: each byte range once, and at most a few times the file in
// all, however many items share or overlap it.
class Scanned {
 public:
  explicit Scanned(std::size_t fileBytes) : left_(4 * std::uint64_t(fileBytes) + 4096) {}

  /// Whether `part` is new and within what is left.
  std::optional<bool> Admit(Bytes part) {
    if (!seen_.insert({part.data(), part.size()}).second) {
      return false;
    }
    if (part.size() > left_) {
      return std::nullopt;
    }
    left_ -= part.size();
    return true;
  }

 private:
  std::set<std::pair<const std::uint8_t*, std::size_t>> seen_;
  std::uint64_t left_;
};

struct Context {
  const Meta& meta;
  Bytes file;
  Scanned scanned;
  std::map<std::uint32_t, Coded> coded;  // by item
};

// The coded picture of item `id`, an HEVC or AV1 image.
Or<Coded> CodedPicture(Context& context, std::uint32_t id) {
  if (const auto known = context.coded.find(id); known != context.coded.end()) {
    return known->second;
  }
  const auto found = context.meta.items.find(id);
  if (found == context.meta.items.end()) {
    return Fault::Unsupported;
  }
  const Item& item = found->second;
  const bool hevc = item.type == Fourcc("hvc1");
  if (!hevc && item.type != Fourcc("av01")) {
    return Fault::Unsupported;
  }
  const Box* config = PropertyOf(context.meta, item, Fourcc(hevc ? "hvcC" : "av1C"));
  Or<std::vector<Bytes>> data = ItemData(context.meta, item, context.file);
  if (config == nullptr || std::holds_alternative<Fault>(data)) {
    return config == nullptr ? Fault::Unsupported : std::get<Fault>(data);
  }
  std::optional<Coded> coded;
  std::size_t lengthSize = 4;
  if (hevc) {
    Reader reader(config->body);
    reader.Take(21);
    lengthSize = (reader.U8() & 3) + 1;
    const std::uint32_t arrays = reader.U8();
    for (std::uint32_t i = 0; i < arrays && !reader.failed(); ++i) {
      reader.U8();
      const std::uint32_t units = reader.U16();
      for (std::uint32_t k = 0; k < units && !reader.failed(); ++k) {
        const Bytes nal = reader.Take(reader.U16());
        if (const std::optional<Coded> sequence = HevcSequence(nal)) {
          coded ? coded->Merge(*sequence) : void(coded = sequence);
        }
      }
    }
  } else if (config->body.size() > 4) {
    Av1Units(config->body.subspan(4), coded);
  }
  for (const Bytes part : std::get<std::vector<Bytes>>(data)) {
    const std::optional<bool> admitted = context.scanned.Admit(part);
    if (!admitted) {
      return Fault::Unsupported;
    }
    if (*admitted) {
      hevc ? HevcUnits(part, lengthSize, coded) : Av1Units(part, coded);
    }
  }
  if (!coded || coded->width == 0 || coded->height == 0) {
    return Fault::Unsupported;
  }
  coded->av1 = !hevc;
  context.coded[id] = *coded;
  return *coded;
}

std::vector<std::uint32_t> References(const Meta& meta, std::uint32_t type, std::uint32_t from) {
  std::vector<std::uint32_t> to;
  for (const Reference& reference : meta.references) {
    if (reference.type == type && reference.from == from) {
      to.insert(to.end(), reference.to.begin(), reference.to.end());
    }
  }
  return to;
}

// A coded picture's pixels, its sides taken up to 2^20 so that no sum of them overflows: far past
// any bound anyway.
std::uint64_t PixelsOf(const Coded& coded) {
  constexpr std::uint32_t kSide = 1 << 20;
  return std::uint64_t(std::min(coded.width, kSide)) * std::min(coded.height, kSide);
}

void Include(HeifImageLayout& layout, const Coded& coded) {
  const std::uint64_t pixels = PixelsOf(coded);
  layout.av1 = layout.av1 || coded.av1;
  const int sampleBytes = coded.bitDepth > 8 ? 2 : 1;
  layout.sampleBytes = std::max(layout.sampleBytes, sampleBytes);
  layout.codedPixels = std::max(layout.codedPixels, pixels);
  layout.codedBytes =
      std::max(layout.codedBytes, pixels * coded.samplesPerTwoPixels / 2 * unsigned(sampleBytes));
}

// The layout of image item `id`: a coded picture, or a grid of them.
Or<HeifImageLayout> ImageLayout(Context& context, std::uint32_t id) {
  const auto found = context.meta.items.find(id);
  if (found == context.meta.items.end()) {
    return Fault::Unsupported;
  }
  const Item& item = found->second;
  HeifImageLayout layout;
  const auto extent = SpatialExtent(context.meta, item);
  if (extent) {
    std::tie(layout.width, layout.height) = *extent;
  }
  if (item.type != Fourcc("grid")) {
    const Or<Coded> coded = CodedPicture(context, id);
    if (std::holds_alternative<Fault>(coded)) {
      return std::get<Fault>(coded);
    }
    const Coded& picture = std::get<Coded>(coded);
    layout.declaredWidth = extent ? extent->first : picture.width;
    layout.declaredHeight = extent ? extent->second : picture.height;
    layout.width = std::max(layout.width, picture.width);
    layout.height = std::max(layout.height, picture.height);
    Include(layout, picture);
    return layout;
  }
  const Or<std::vector<Bytes>> data = ItemData(context.meta, item, context.file);
  if (std::holds_alternative<Fault>(data)) {
    return std::get<Fault>(data);
  }
  std::vector<std::uint8_t> descriptor;
  for (const Bytes part : std::get<std::vector<Bytes>>(data)) {
    descriptor.insert(
        descriptor.end(), part.begin(),
        part.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(part.size(), 16)));
  }
  Reader reader(descriptor);
  reader.U8();  // version
  const bool wide = (reader.U8() & 1) != 0;
  const std::uint32_t rows = reader.U8() + 1;
  const std::uint32_t columns = reader.U8() + 1;
  const std::uint32_t width = static_cast<std::uint32_t>(reader.Number(wide ? 4 : 2));
  const std::uint32_t height = static_cast<std::uint32_t>(reader.Number(wide ? 4 : 2));
  const std::vector<std::uint32_t> tiles = References(context.meta, Fourcc("dimg"), id);
  if (reader.failed() || tiles.size() != rows * columns) {
    return Fault::Unsupported;
  }
  layout.grid = true;
  layout.tiles = rows * columns;
  // The grid is composed at its own size whatever its extent claims: the larger is the picture's.
  layout.declaredWidth = std::max(layout.width, width);
  layout.declaredHeight = std::max(layout.height, height);
  layout.width = std::max(layout.width, width);
  layout.height = std::max(layout.height, height);
  if (const Box* pixi = PropertyOf(context.meta, item, Fourcc("pixi"))) {
    Reader depths(pixi->body);
    FullBoxHeader(depths);
    for (std::uint32_t channels = depths.U8(); channels > 0 && !depths.failed(); --channels) {
      layout.sampleBytes = std::max(layout.sampleBytes, depths.U8() > 8 ? 2 : 1);
    }
  }
  // Tiles are coded pictures: a grid of grids, or of itself, would never end.
  for (const std::uint32_t tile : tiles) {
    const Or<Coded> coded = CodedPicture(context, tile);
    if (std::holds_alternative<Fault>(coded)) {
      return std::get<Fault>(coded);
    }
    Include(layout, std::get<Coded>(coded));
    layout.tileCodedPixels += PixelsOf(std::get<Coded>(coded));
  }
  return layout;
}

bool IsAlpha(const Meta& meta, const Item& item) {
  const Box* auxC = PropertyOf(meta, item, Fourcc("auxC"));
  if (auxC == nullptr || auxC->body.size() < 4) {
    return false;
  }
  const std::string_view type(reinterpret_cast<const char*>(auxC->body.data()) + 4,
                              auxC->body.size() - 4);
  const std::string_view name = type.substr(0, type.find('\0'));
  return name == "urn:mpeg:hevc:2015:auxid:1" || name == "urn:mpeg:avc:2015:auxid:1" ||
         name == "urn:mpeg:mpegB:cicp:systems:auxiliary:alpha";
}

// The orientation (1..8) in a TIFF structure's first directory; 1 when it gives none.
int TiffOrientation(Bytes tiff) {
  if (tiff.size() < 8 || tiff[0] != tiff[1] || (tiff[0] != 'I' && tiff[0] != 'M')) {
    return 1;
  }
  const bool big = tiff[0] == 'M';
  const auto number = [&](std::size_t at, std::size_t size) -> std::uint32_t {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
      value |= std::uint32_t(tiff[at + i]) << (8 * (big ? size - 1 - i : i));
    }
    return value;
  };
  const std::uint32_t directory = number(4, 4);
  if (directory > tiff.size() - 2) {
    return 1;
  }
  const std::uint32_t entries = number(directory, 2);
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::size_t entry = directory + 2 + std::size_t{12} * i;
    if (entry + 12 > tiff.size()) {
      break;
    }
    if (number(entry, 2) == 0x0112 && number(entry + 2, 2) == 3) {
      const std::uint32_t value = number(entry + 8, 2);
      return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
  }
  return 1;
}

// The orientation in the Exif item describing `primary`: four bytes giving where the TIFF
// structure starts after them, then the structure.
int ExifOrientation(const Meta& meta, std::uint32_t primary, Bytes file) {
  for (const Reference& reference : meta.references) {
    const auto item = meta.items.find(reference.from);
    if (reference.type != Fourcc("cdsc") || item == meta.items.end() ||
        item->second.type != Fourcc("Exif") ||
        std::find(reference.to.begin(), reference.to.end(), primary) == reference.to.end()) {
      continue;
    }
    const Or<std::vector<Bytes>> data = ItemData(meta, item->second, file);
    if (std::holds_alternative<Fault>(data) || std::get<std::vector<Bytes>>(data).size() != 1) {
      continue;
    }
    const Bytes exif = std::get<std::vector<Bytes>>(data).front();
    Reader reader(exif);
    const std::uint64_t start = std::uint64_t(reader.U32()) + 4;
    if (!reader.failed() && start < exif.size()) {
      return TiffOrientation(exif.subspan(static_cast<std::size_t>(start)));
    }
  }
  return 1;
}

}  // namespace

std::variant<HeifLayout, HeifLayoutFault> ReadHeifLayout(std::span<const std::uint8_t> file) {
  // A file cut short shows first in its top-level boxes: the last one claims more than is left.
  std::optional<Meta> meta;
  const std::optional<std::vector<Box>> boxes = Boxes(file);
  if (!boxes) {
    return Fault::Truncated;
  }
  for (const Box& box : *boxes) {
    if (box.type == Fourcc("meta") && !meta) {
      meta = ReadMeta(box.body);
      if (!meta) {
        return Fault::Unsupported;
      }
    }
  }
  if (!meta) {
    return Fault::Unsupported;
  }
  Context context{*meta, file, Scanned(file.size()), {}};
  HeifLayout layout;
  const auto primary = meta->items.find(meta->primary);
  if (primary == meta->items.end()) {
    return Fault::Unsupported;
  }
  const Or<HeifImageLayout> image = ImageLayout(context, meta->primary);
  if (std::holds_alternative<Fault>(image)) {
    return std::get<Fault>(image);
  }
  layout.primary = std::get<HeifImageLayout>(image);
  for (const Reference& reference : meta->references) {
    const auto item = meta->items.find(reference.from);
    if (reference.type != Fourcc("auxl") || reference.from == meta->primary ||
        item == meta->items.end() || !IsAlpha(*meta, item->second) ||
        std::find(reference.to.begin(), reference.to.end(), meta->primary) == reference.to.end()) {
      continue;
    }
    const Or<HeifImageLayout> alpha = ImageLayout(context, reference.from);
    if (std::holds_alternative<Fault>(alpha)) {
      return std::get<Fault>(alpha);
    }
    layout.hasAlpha = true;
    layout.alpha = std::get<HeifImageLayout>(alpha);
    break;
  }
  layout.shownWidth = layout.primary.declaredWidth;
  layout.shownHeight = layout.primary.declaredHeight;
  for (const std::uint32_t index : primary->second.properties) {
    if (index < 1 || index > meta->properties.size()) {
      continue;
    }
    const Box& property = meta->properties[index - 1];
    if (property.type == Fourcc("irot") || property.type == Fourcc("imir")) {
      layout.transformed = true;
      if (property.type == Fourcc("irot") && !property.body.empty() && property.body[0] & 1) {
        std::swap(layout.shownWidth, layout.shownHeight);
      }
    }
  }
  layout.exifOrientation = ExifOrientation(*meta, meta->primary, file);
  for (const auto& [id, item] : meta->items) {
    const Or<std::vector<Bytes>> data = ItemData(*meta, item, file);
    for (const Bytes part : std::holds_alternative<Fault>(data)
                                ? std::vector<Bytes>()
                                : std::get<std::vector<Bytes>>(data)) {
      layout.itemBytes += part.size();
    }
  }
  return layout;
}

}  // namespace lunetta
