#include "mpeg_input/tags/id3v2.h"

#include <array>
#include <bitset>
#include <cstring>
#include <optional>
#include <string_view>

#include "base/text_codec.h"
#include "mpeg_input/tags/replaygain_text.h"

namespace zul::tags {
namespace {

constexpr std::size_t kHeaderSize = 10;

std::uint32_t Syncsafe(const std::uint8_t* p) {
  return (p[0] & 0x7Fu) << 21 | (p[1] & 0x7Fu) << 14 | (p[2] & 0x7Fu) << 7 | (p[3] & 0x7Fu);
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// Header and footer share one layout: identifier, major, revision, flags and
// a syncsafe body size.
struct TagHeader {
  int major = 0;
  std::uint8_t flags = 0;
  std::uint32_t size = 0;
};

std::optional<TagHeader> ParseHeader(Bytes b, const char (&id)[4]) {
  if (b.size() < kHeaderSize || std::memcmp(b.data(), id, 3) != 0) return std::nullopt;
  // Only 2.3 and 2.4 frames are understood; a 2.2 tag has three-letter
  // frames, and a later major version may change the layout again.
  if (b[3] != 3 && b[3] != 4) return std::nullopt;
  return TagHeader{b[3], b[5], Syncsafe(b.data() + 6)};
}

bool IsTwoByteEncoding(std::uint8_t encoding) { return encoding == 1 || encoding == 2; }

// A string up to its terminator, and what follows the terminator (nothing
// when the bytes hold no terminator). UTF-16 terminators sit on even offsets.
struct Split {
  Bytes head;
  std::optional<Bytes> tail;
};

Split SplitAtTerminator(Bytes b, std::uint8_t encoding) {
  if (IsTwoByteEncoding(encoding)) {
    for (std::size_t i = 0; i + 1 < b.size(); i += 2)
      if (b[i] == 0 && b[i + 1] == 0) return {b.first(i), b.subspan(i + 2)};
  } else {
    for (std::size_t i = 0; i < b.size(); ++i)
      if (b[i] == 0) return {b.first(i), b.subspan(i + 1)};
  }
  return {b, std::nullopt};
}

// Any encoding byte other than 0..3 leaves the value empty.
std::wstring DecodeText(Bytes b, std::uint8_t encoding) {
  switch (encoding) {
    case 0:
      return DecodeAnsi(b);
    case 1:
      return DecodeUtf16(b, false);
    case 2:
      return DecodeUtf16(b, true);
    case 3:
      return DecodeUtf8(b);
    default:
      return {};
  }
}

// A text frame: the encoding byte, then the text (only its first string
// when 2.4 lists several).
std::wstring TextFrame(Bytes data) {
  if (data.empty()) return {};
  return DecodeText(data.subspan(1), data[0]);
}

std::wstring CommentFrame(Bytes data) {
  if (data.size() < 4) return {};
  std::uint8_t encoding = data[0];
  Split s = SplitAtTerminator(data.subspan(4), encoding);
  // A comment that holds only a description shows the description.
  if (!s.tail || s.tail->empty()) return DecodeText(s.head, encoding);
  return DecodeText(*s.tail, encoding);
}

// The URL after the description is always Latin-1, whatever the encoding
// byte says about the description.
std::wstring UrlFrame(Bytes data) {
  if (data.empty()) return {};
  Split s = SplitAtTerminator(data.subspan(1), data[0]);
  if (!s.tail) return {};
  return DecodeLatin1(*s.tail);
}

// "(17)" selects genre 17, "(17)Classic" means "Classic"; anything else is
// taken as it stands.
std::wstring Genre(std::wstring text) {
  if (text.empty() || text[0] != L'(') return text;
  std::size_t close = text.find(L')');
  if (close == std::wstring::npos) return text;
  if (close + 1 < text.size()) return text.substr(close + 1);
  if (close == 1) return text;
  int number = 0;
  for (std::size_t i = 1; i < close; ++i) {
    if (text[i] < L'0' || text[i] > L'9') return text;
    if (number < kId3v1GenreCount) number = number * 10 + (text[i] - L'0');
  }
  std::string_view name = Id3v1Genre(number);
  return std::wstring(name.begin(), name.end());
}

struct FrameRoute {
  char id[5];
  TagField field;
};

constexpr std::array<FrameRoute, 13> kTextFrames = {{
    {"TIT2", TagField::Title},
    {"TPE1", TagField::Artist},
    {"TALB", TagField::Album},
    {"TCON", TagField::Genre},
    {"TRCK", TagField::Track},
    {"TPE2", TagField::AlbumArtist},
    {"TCOM", TagField::Composer},
    {"TOPE", TagField::OriginalArtist},
    {"TCOP", TagField::Copyright},
    {"TENC", TagField::Encoder},
    {"TPOS", TagField::PartOfSet},
    {"COMM", TagField::Comment},
    {"WXXX", TagField::Url},
}};

class FrameSink {
public:
  FrameSink(int major, CTagFields* fields, ReplayGainValues* gain) : major_(major), fields_(fields), gain_(gain) {}

  // Whether a frame is worth loading at all; pictures and private data, often
  // most of a tag, never are.
  bool Wants(const std::uint8_t* id) const {
    auto is = [id](const char* name) { return std::memcmp(id, name, 4) == 0; };
    if (is("TXXX")) return gain_ != nullptr;
    if (!fields_) return false;
    if (is(major_ == 3 ? "TYER" : "TDRC")) return true;
    for (const FrameRoute& r : kTextFrames)
      if (is(r.id)) return !filled_[static_cast<std::size_t>(r.field)];
    return false;
  }

  void Frame(const std::uint8_t* id, Bytes data) {
    auto is = [id](const char* name) { return std::memcmp(id, name, 4) == 0; };
    if (is("TXXX")) {
      if (gain_) ReplayGainFrame(data);
      return;
    }
    if (!fields_) return;
    if (is(major_ == 3 ? "TYER" : "TDRC")) {
      Fill(TagField::Year, [&] { return TextFrame(data); });
      return;
    }
    for (const FrameRoute& r : kTextFrames) {
      if (!is(r.id)) continue;
      Fill(r.field, [&] {
        if (r.field == TagField::Comment) return CommentFrame(data);
        if (r.field == TagField::Url) return UrlFrame(data);
        if (r.field == TagField::Genre) return Genre(TextFrame(data));
        return TextFrame(data);
      });
      return;
    }
  }

private:
  template <typename Decode>
  void Fill(TagField f, Decode decode) {
    auto i = static_cast<std::size_t>(f);
    if (filled_[i]) return;  // the first frame of an identifier wins
    filled_[i] = true;
    (*fields_)[f] = decode();
  }

  void ReplayGainFrame(Bytes data) {
    if (data.empty()) return;
    std::uint8_t encoding = data[0];
    Split s = SplitAtTerminator(data.subspan(1), encoding);
    if (!s.tail) return;
    std::wstring description = DecodeText(s.head, encoding);
    std::wstring value = DecodeText(*s.tail, encoding);
    struct Kind {
      std::wstring_view name;
      std::optional<double> ReplayGainValues::*slot;
      bool isGain;
    };
    static constexpr Kind kKinds[] = {
        {L"replaygain_track_gain", &ReplayGainValues::trackGain, true},
        {L"replaygain_track_peak", &ReplayGainValues::trackPeak, false},
        {L"replaygain_album_gain", &ReplayGainValues::albumGain, true},
        {L"replaygain_album_peak", &ReplayGainValues::albumPeak, false},
    };
    for (std::size_t k = 0; k < std::size(kKinds); ++k) {
      if (!EqualNoCase(description, kKinds[k].name)) continue;
      if (gainSeen_[k]) return;
      gainSeen_[k] = true;
      gain_->*kKinds[k].slot = kKinds[k].isGain ? ParseReplayGainGain(value) : ParseReplayGainPeak(value);
      return;
    }
  }

  int major_;
  CTagFields* fields_;
  ReplayGainValues* gain_;
  std::bitset<kTagFieldCount> filled_;
  std::bitset<4> gainSeen_;
};

// The bytes the frames are read from: the body in memory, or the file itself,
// so that frames nobody reads are never loaded.
class FrameArea {
public:
  virtual ~FrameArea() = default;
  virtual std::size_t Size() const = 0;
  // The bytes [pos, pos + n), which may be placed in `scratch`; false when
  // they cannot be had.
  virtual bool Get(std::size_t pos, std::size_t n, std::vector<std::uint8_t>& scratch, Bytes& out) = 0;
};

class MemoryArea final : public FrameArea {
public:
  explicit MemoryArea(Bytes body) : body_(body) {}
  std::size_t Size() const override { return body_.size(); }
  bool Get(std::size_t pos, std::size_t n, std::vector<std::uint8_t>&, Bytes& out) override {
    if (pos > body_.size() || n > body_.size() - pos) return false;
    out = body_.subspan(pos, n);
    return true;
  }

private:
  Bytes body_;
};

class SourceArea final : public FrameArea {
public:
  SourceArea(CByteSource& source, std::uint64_t offset, std::size_t size)
      : source_(source), offset_(offset), size_(size) {}
  std::size_t Size() const override { return size_; }
  bool Get(std::size_t pos, std::size_t n, std::vector<std::uint8_t>& scratch, Bytes& out) override {
    if (pos > size_ || n > size_ - pos || !source_.ReadVector(offset_ + pos, n, scratch)) return false;
    out = scratch;
    return true;
  }

private:
  CByteSource& source_;
  std::uint64_t offset_;
  std::size_t size_;
};

// Where the frames begin: after the extended header, if there is one. Nothing
// when the extended header does not fit in the body.
std::optional<std::size_t> FramesStart(int major, std::uint8_t headerFlags, FrameArea& area) {
  if (!(headerFlags & 0x40)) return 0;
  std::vector<std::uint8_t> scratch;
  Bytes size;
  if (!area.Get(0, 4, scratch, size)) return std::nullopt;
  // 2.3 counts the bytes after the size field; the padding it announces lies
  // after the last frame, so it does not move the start. 2.4 counts the whole
  // extended header in a syncsafe size.
  std::uint64_t skip = major == 3 ? 4 + std::uint64_t{BigEndian32(size.data())} : Syncsafe(size.data());
  if (major == 4 && skip < 6) return std::nullopt;
  if (skip > area.Size()) return std::nullopt;
  return static_cast<std::size_t>(skip);
}

// The frames of a body whose 2.3 unsynchronisation, if any, is already undone.
void WalkFrames(int major, std::uint8_t headerFlags, FrameArea& area, CTagFields* fields, ReplayGainValues* gain) {
  if (fields) fields->ClearTagValues();
  if (gain) *gain = ReplayGainValues{};
  std::optional<std::size_t> start = FramesStart(major, headerFlags, area);
  if (!start) return;
  // 2.4 unsynchronises frame by frame and counts the stored bytes, so the
  // tag's flag is applied to each frame's data, never to the whole body.
  bool tagUnsync = major == 4 && (headerFlags & 0x80);
  FrameSink sink(major, fields, gain);
  std::vector<std::uint8_t> headerScratch, dataScratch, frameRestored;
  std::size_t pos = *start;
  while (area.Size() - pos >= kHeaderSize) {
    Bytes raw;
    if (!area.Get(pos, kHeaderSize, headerScratch, raw)) break;
    std::array<std::uint8_t, kHeaderSize> h;
    std::copy(raw.begin(), raw.end(), h.begin());
    if (h[0] == 0) break;  // padding
    std::uint32_t size = major == 3 ? BigEndian32(&h[4]) : Syncsafe(&h[4]);
    std::uint8_t formatFlags = h[9];
    pos += kHeaderSize;
    if (size > area.Size() - pos) break;  // a frame cannot reach past the tag
    std::size_t dataPos = pos;
    pos += size;

    if (!sink.Wants(h.data())) continue;
    if (formatFlags & (major == 3 ? 0xC0 : 0x0C)) continue;  // compressed or encrypted
    Bytes data;
    if (!area.Get(dataPos, size, dataScratch, data)) break;
    if (major == 3) {
      if (formatFlags & 0x20) {  // group identifier byte
        if (data.empty()) continue;
        data = data.subspan(1);
      }
    } else {
      if ((formatFlags & 0x02) || tagUnsync) {
        frameRestored = RemoveUnsynchronisation(data);
        data = frameRestored;
      }
      if (formatFlags & 0x40) {  // group identifier byte
        if (data.empty()) continue;
        data = data.subspan(1);
      }
      if (formatFlags & 0x01) {  // data length indicator
        if (data.size() < 4) continue;
        data = data.subspan(4);
      }
    }
    sink.Frame(h.data(), data);
  }
}

}  // namespace

std::vector<std::uint8_t> RemoveUnsynchronisation(Bytes bytes) {
  std::vector<std::uint8_t> out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out.push_back(bytes[i]);
    if (bytes[i] == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0x00) ++i;
  }
  return out;
}

void ParseId3v2Body(int major, std::uint8_t headerFlags, Bytes body, CTagFields* fields, ReplayGainValues* gain) {
  if (major != 3 && major != 4) return;
  // 2.3 unsynchronises the whole tag and counts frame sizes after undoing it.
  std::vector<std::uint8_t> restored;
  if (major == 3 && (headerFlags & 0x80)) {
    restored = RemoveUnsynchronisation(body);
    body = restored;
  }
  MemoryArea area(body);
  WalkFrames(major, headerFlags, area, fields, gain);
}

bool ReadId3v2(CByteSource& source, CTagFields* fields, ReplayGainValues* gain) {
  std::array<std::uint8_t, kHeaderSize> raw;
  std::optional<TagHeader> header;
  std::uint64_t bodyOffset = 0;
  if (source.ReadExact(0, raw)) {
    header = ParseHeader(raw, "ID3");
    if (header && !source.Contains(kHeaderSize, header->size)) header.reset();
    bodyOffset = kHeaderSize;
  }
  if (!header && source.Size() >= 2 * kHeaderSize && source.ReadExact(source.Size() - kHeaderSize, raw)) {
    // A tag appended at the end: header, body, then this footer.
    header = ParseHeader(raw, "3DI");
    if (header && header->major == 4 && source.Size() - 2 * kHeaderSize >= header->size) {
      bodyOffset = source.Size() - kHeaderSize - header->size;
    } else {
      header.reset();
    }
  }
  if (!header) return false;
  if (header->major == 3 && (header->flags & 0x80)) {
    // Frame positions are known only after undoing the unsynchronisation,
    // so this one kind of tag is loaded whole.
    std::vector<std::uint8_t> body;
    if (!source.ReadVector(bodyOffset, header->size, body)) return false;
    ParseId3v2Body(header->major, header->flags, body, fields, gain);
  } else {
    SourceArea area(source, bodyOffset, header->size);
    WalkFrames(header->major, header->flags, area, fields, gain);
  }
  return true;
}

}  // namespace zul::tags
