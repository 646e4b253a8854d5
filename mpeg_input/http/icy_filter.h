#pragma once
// The in-band ICY layer of a stream body: the raw "ICY 200 OK" header block
// some servers send as the first bytes of the body, and the metadata blocks
// inserted after every `metaint` audio bytes. Audio bytes pass through;
// headers and metadata are taken out and interpreted.
//
// Memory is bounded whatever the server sends: a header block may not pass
// kMaxRawHeader bytes, a metadata block holds at most 255 x 16 bytes.
//
// Threads: one filter belongs to the receive thread of its stream.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mpeg_input/http/icy_info.h"

namespace zul {

inline constexpr size_t kMaxRawHeader = 16384;
inline constexpr size_t kMaxMetaBlock = 255 * 16;

// The stream title of one metadata block: the text after "StreamTitle="
// and its quote character, up to the quote that is followed by ";" (titles
// hold apostrophes), else the next quote. Nothing when the block has no
// title or the title is not closed (a cut block is not trusted).
std::optional<std::string> StreamTitleOf(std::string_view block);

// "%" and two hexadecimal digits become that byte; other text is kept.
std::string DecodePercentEscapes(std::string_view text);

// True for well-formed UTF-8 that holds at least one non-ASCII character:
// such a title is read as UTF-8, anything else in the ANSI code page.
bool LooksLikeUtf8(std::string_view text);

class CIcyFilter {
public:
  // `metaInterval` as the HTTP headers gave it (-1 when none). The body
  // may begin with a raw "ICY 200 OK" block, which then sets it.
  CIcyFilter(int64_t metaInterval, bool decodeText) : interval_(metaInterval), decodeText_(decodeText) {}

  // Takes the next bytes of the body; appends the audio among them to
  // `audio`. False when the stream must end: Status() then says why.
  bool Feed(std::span<const uint8_t> in, std::vector<uint8_t>& audio);

  // The newest title since the last call, decoded as asked.
  bool TakeTitle(std::string* title);
  const std::string& Status() const { return status_; }
  // The record as the raw header block completed it.
  const CICYInfo& RawInfo() const { return raw_; }
  bool SawRawHeader() const { return sawRaw_; }
  int64_t MetaInterval() const { return interval_; }
  // Metadata blocks seen, for tests and the log.
  int64_t MetaBlocks() const { return metaBlocks_; }

private:
  enum class State { kStart, kRawHeader, kStatusLine, kAudio, kLength, kMeta, kFailed };
  bool Start(std::span<const uint8_t>& in, std::vector<uint8_t>& audio);
  bool RawHeader(std::span<const uint8_t>& in);
  bool StatusLine(std::span<const uint8_t>& in);
  void EndOfMeta();

  int64_t interval_;
  bool decodeText_;
  State state_ = State::kStart;
  std::string head_;  // the first bytes, or the raw header block
  CICYInfo raw_;
  bool sawRaw_ = false;
  int64_t audioLeft_ = 0;
  size_t metaLeft_ = 0;
  std::string meta_;
  std::string title_;
  bool newTitle_ = false;
  std::string status_;
  int64_t metaBlocks_ = 0;
};

}  // namespace zul
