#include "mpeg_input/tags/ape.h"

#include <array>
#include <bitset>
#include <cstring>
#include <string_view>

#include "base/text_codec.h"
#include "mpeg_input/tags/id3v1.h"
#include "mpeg_input/tags/replaygain_text.h"

namespace zul::tags {
namespace {

constexpr std::uint64_t kLyricsTrailer = 15;  // six size digits and "LYRICS200"
constexpr std::uint32_t kItemIsHeaderFlag = 1u << 29;

std::uint32_t LittleEndian32(const std::uint8_t* p) {
  return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}

std::optional<ApeFooter> FooterAt(CByteSource& source, std::uint64_t offset) {
  std::array<std::uint8_t, kApeFooterSize> raw;
  if (!source.ReadExact(offset, raw) || std::memcmp(raw.data(), "APETAGEX", 8) != 0) return std::nullopt;
  ApeFooter f{offset, LittleEndian32(&raw[8]), LittleEndian32(&raw[12]), LittleEndian32(&raw[16]),
              LittleEndian32(&raw[20])};
  if (f.version != 1000 && f.version < 2000) return std::nullopt;
  // A header found where a footer belongs is not a tag's end.
  if (f.version >= 2000 && (f.flags & kItemIsHeaderFlag)) return std::nullopt;
  if (f.tagSize < kApeFooterSize || f.tagSize - kApeFooterSize > offset) return std::nullopt;
  return f;
}

// The size of a Lyrics3 v2 block that sits right before the ID3v1 record,
// from its six decimal digits and the "LYRICS200" marker.
std::optional<std::uint64_t> Lyrics3v2Size(CByteSource& source) {
  if (source.Size() < kId3v1Size + kLyricsTrailer) return std::nullopt;
  std::array<std::uint8_t, kLyricsTrailer> raw;
  if (!source.ReadExact(source.Size() - kId3v1Size - kLyricsTrailer, raw)) return std::nullopt;
  if (std::memcmp(&raw[6], "LYRICS200", 9) != 0) return std::nullopt;
  std::uint64_t size = 0;
  for (std::size_t i = 0; i < 6; ++i) {
    if (raw[i] < '0' || raw[i] > '9') return std::nullopt;
    size = size * 10 + (raw[i] - '0');
  }
  return size;
}

struct KeyRoute {
  std::string_view key;
  TagField field;
};

constexpr KeyRoute kKeys[] = {
    {"Title", TagField::Title},         {"Artist", TagField::Artist},     {"Comment", TagField::Comment},
    {"Album", TagField::Album},         {"Year", TagField::Year},         {"Genre", TagField::Genre},
    {"Track", TagField::Track},         {"Composer", TagField::Composer}, {"OrigArtist", TagField::OriginalArtist},
    {"Copyright", TagField::Copyright}, {"EncodedBy", TagField::Encoder},
};

struct GainRoute {
  std::string_view key;
  std::optional<double> ReplayGainValues::*slot;
  bool isGain;
};

constexpr GainRoute kGainKeys[] = {
    {"replaygain_track_gain", &ReplayGainValues::trackGain, true},
    {"replaygain_track_peak", &ReplayGainValues::trackPeak, false},
    {"replaygain_album_gain", &ReplayGainValues::albumGain, true},
    {"replaygain_album_peak", &ReplayGainValues::albumPeak, false},
};

}  // namespace

std::optional<ApeFooter> LocateApeFooter(CByteSource& source) {
  std::uint64_t size = source.Size();
  if (size >= kApeFooterSize) {
    if (auto f = FooterAt(source, size - kApeFooterSize)) return f;
  }
  if (size >= kId3v1Size + kApeFooterSize) {
    if (auto f = FooterAt(source, size - kId3v1Size - kApeFooterSize)) return f;
  }
  if (std::optional<std::uint64_t> lyrics = Lyrics3v2Size(source)) {
    std::uint64_t before = kId3v1Size + kLyricsTrailer + *lyrics + kApeFooterSize;
    if (size >= before) return FooterAt(source, size - before);
  }
  return std::nullopt;
}

void ParseApeItems(std::uint32_t version, std::uint32_t itemCount, Bytes items, CTagFields* fields,
                   ReplayGainValues* gain) {
  if (fields) fields->ClearTagValues();
  if (gain) *gain = ReplayGainValues{};
  std::bitset<std::size(kKeys)> keySeen;
  std::bitset<std::size(kGainKeys)> gainSeen;
  bool utf8 = version >= 2000;
  std::size_t pos = 0;
  for (std::uint32_t n = 0; n < itemCount; ++n) {
    if (items.size() - pos < 8) break;
    std::uint32_t valueSize = LittleEndian32(items.data() + pos);
    std::uint32_t flags = LittleEndian32(items.data() + pos + 4);
    pos += 8;
    const auto* keyStart = items.data() + pos;
    const void* nul = std::memchr(keyStart, 0, items.size() - pos);
    if (!nul) break;
    std::string_view key(reinterpret_cast<const char*>(keyStart), static_cast<const std::uint8_t*>(nul) - keyStart);
    pos += key.size() + 1;
    if (valueSize > items.size() - pos) break;  // a value cannot reach past the footer
    Bytes value = items.subspan(pos, valueSize);
    pos += valueSize;
    if (utf8 && ((flags >> 1) & 3) == 1) continue;  // binary item

    if (fields) {
      for (std::size_t k = 0; k < std::size(kKeys); ++k) {
        if (keySeen[k] || !EqualNoCase(key, kKeys[k].key)) continue;
        keySeen[k] = true;
        (*fields)[kKeys[k].field] = utf8 ? DecodeUtf8(value) : DecodeAnsi(value);
      }
    }
    if (gain) {
      for (std::size_t k = 0; k < std::size(kGainKeys); ++k) {
        if (gainSeen[k] || !EqualNoCase(key, kGainKeys[k].key)) continue;
        gainSeen[k] = true;
        std::wstring text = utf8 ? DecodeUtf8(value) : DecodeAnsi(value);
        gain->*kGainKeys[k].slot = kGainKeys[k].isGain ? ParseReplayGainGain(text) : ParseReplayGainPeak(text);
      }
    }
  }
}

bool ReadApe(CByteSource& source, CTagFields* fields, ReplayGainValues* gain) {
  std::optional<ApeFooter> footer = LocateApeFooter(source);
  if (!footer) return false;
  std::uint64_t itemsSize = footer->tagSize - kApeFooterSize;
  std::vector<std::uint8_t> items;
  if (!source.ReadVector(footer->offset - itemsSize, itemsSize, items)) return false;
  ParseApeItems(footer->version, footer->itemCount, items, fields, gain);
  return true;
}

}  // namespace zul::tags
