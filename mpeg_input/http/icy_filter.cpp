#include "mpeg_input/http/icy_filter.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace zul {
namespace {

constexpr std::string_view kIcyOk = "ICY 200 OK\r\n";
// Bytes looked at before the body is taken for audio.
constexpr size_t kLookAhead = 64;
// A status line shown as the status text is cut here.
constexpr size_t kMaxStatusLine = 128;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Printable(std::string_view s) {
  std::string out(s.substr(0, kMaxStatusLine));
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return out;
}

}  // namespace

std::optional<std::string> StreamTitleOf(std::string_view block) {
  block = block.substr(0, block.find('\0'));
  constexpr std::string_view kKey = "StreamTitle=";
  size_t at = block.find(kKey);
  if (at == std::string_view::npos || at + kKey.size() >= block.size()) return std::nullopt;
  const char quote = block[at + kKey.size()];
  if (quote != '\'' && quote != '"') return std::nullopt;
  std::string_view rest = block.substr(at + kKey.size() + 1);
  size_t end = rest.find(std::string{quote} + ";");
  if (end == std::string_view::npos) end = rest.find(quote);
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(rest.substr(0, end));
}

std::string DecodePercentEscapes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

bool LooksLikeUtf8(std::string_view text) {
  bool wide = false;
  for (size_t i = 0; i < text.size();) {
    auto c = static_cast<unsigned char>(text[i]);
    size_t follow = 0;
    if (c >= 0x80) {
      if (c >= 0xC2 && c <= 0xDF)
        follow = 1;
      else if ((c & 0xF0) == 0xE0)
        follow = 2;
      else if (c >= 0xF0 && c <= 0xF4)
        follow = 3;
      else
        return false;
      if (follow >= text.size() - i) return false;
      for (size_t k = 1; k <= follow; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
      wide = true;
    }
    i += 1 + follow;
  }
  return wide;
}

bool CIcyFilter::Feed(std::span<const uint8_t> in, std::vector<uint8_t>& audio) {
  while (!in.empty()) {
    switch (state_) {
      case State::kFailed:
        return false;
      case State::kStart:
        if (!Start(in, audio)) return state_ != State::kFailed;
        break;
      case State::kRawHeader:
        if (!RawHeader(in)) return state_ != State::kFailed;
        break;
      case State::kStatusLine:
        if (!StatusLine(in)) return state_ != State::kFailed;
        break;
      case State::kAudio: {
        if (interval_ <= 0) {
          audio.insert(audio.end(), in.begin(), in.end());
          return true;
        }
        size_t n = static_cast<size_t>(std::min<int64_t>(audioLeft_, static_cast<int64_t>(in.size())));
        audio.insert(audio.end(), in.begin(), in.begin() + static_cast<ptrdiff_t>(n));
        in = in.subspan(n);
        audioLeft_ -= static_cast<int64_t>(n);
        if (audioLeft_ == 0) state_ = State::kLength;
        break;
      }
      case State::kLength:
        metaLeft_ = size_t{in[0]} * 16;
        in = in.subspan(1);
        meta_.clear();
        if (metaLeft_ == 0) {
          audioLeft_ = interval_;
          state_ = State::kAudio;
        } else {
          state_ = State::kMeta;
        }
        break;
      case State::kMeta: {
        size_t n = std::min(metaLeft_, in.size());
        meta_.append(reinterpret_cast<const char*>(in.data()), n);
        in = in.subspan(n);
        metaLeft_ -= n;
        if (metaLeft_ == 0) EndOfMeta();
        break;
      }
    }
  }
  return state_ != State::kFailed;
}

// Decides from the first bytes whether the body starts with a raw ICY
// status line; false while there are too few bytes to tell.
bool CIcyFilter::Start(std::span<const uint8_t>& in, std::vector<uint8_t>& audio) {
  size_t want = kLookAhead - std::min(head_.size(), kLookAhead);
  size_t n = std::min(want, in.size());
  head_.append(reinterpret_cast<const char*>(in.data()), n);
  in = in.subspan(n);
  const size_t lead = std::min<size_t>(3, head_.size());
  const bool statusLine = std::string_view(head_).substr(0, lead) == std::string_view("ICY").substr(0, lead) &&
                          (head_.size() < 4 || head_[3] == ' ');
  // HTTP clients that take an "ICY 200 OK" line for a status line of their
  // own may leave the header lines that follow it in the body: a name of
  // letters, digits and '-', then a colon.
  size_t name = 0;
  while (name < head_.size() && (std::isalnum(static_cast<unsigned char>(head_[name])) || head_[name] == '-')) ++name;
  const bool maybeLine = name == head_.size() && name < kLookAhead;
  const bool headerLine = !statusLine && name > 0 && name < head_.size() && head_[name] == ':';
  if (maybeLine || (statusLine && head_.size() < kIcyOk.size())) return false;
  audioLeft_ = interval_;
  // The bytes looked at go through again in the state they belong to.
  std::string pending = std::move(head_);
  head_.clear();
  if (headerLine) {
    head_ = kIcyOk;
    state_ = State::kRawHeader;
  } else if (!statusLine) {
    state_ = State::kAudio;
  } else if (pending.compare(4, kIcyOk.size() - 4, kIcyOk.substr(4)) == 0) {
    state_ = State::kRawHeader;
  } else {
    // Another status: its line, once complete, ends the stream.
    state_ = State::kStatusLine;
  }
  Feed({reinterpret_cast<const uint8_t*>(pending.data()), pending.size()}, audio);
  return state_ != State::kFailed;
}

bool CIcyFilter::StatusLine(std::span<const uint8_t>& in) {
  while (!in.empty() && head_.find("\r\n") == std::string::npos && head_.size() < kMaxStatusLine) {
    head_.push_back(static_cast<char>(in[0]));
    in = in.subspan(1);
  }
  if (head_.find("\r\n") == std::string::npos && head_.size() < kMaxStatusLine) return false;
  status_ = Printable(head_.substr(0, head_.find("\r\n")));
  state_ = State::kFailed;
  return false;
}

bool CIcyFilter::RawHeader(std::span<const uint8_t>& in) {
  // Appends byte by byte up to the blank line so that no audio is taken in.
  while (!in.empty()) {
    head_.push_back(static_cast<char>(in[0]));
    in = in.subspan(1);
    if (head_.size() >= 4 && head_.compare(head_.size() - 4, 4, "\r\n\r\n") == 0) {
      ParseIcyHeaderBlock(head_, raw_);
      sawRaw_ = true;
      interval_ = raw_.metaInterval;
      audioLeft_ = interval_;
      head_.clear();
      head_.shrink_to_fit();
      state_ = State::kAudio;
      return true;
    }
    if (head_.size() > kMaxRawHeader) {
      status_ = "Invalid ICY header";
      state_ = State::kFailed;
      return false;
    }
  }
  return false;
}

void CIcyFilter::EndOfMeta() {
  ++metaBlocks_;
  if (auto t = StreamTitleOf(meta_)) {
    std::string title = decodeText_ ? DecodePercentEscapes(*t) : *t;
    if (title != title_) {
      title_ = std::move(title);
      newTitle_ = true;
    }
  }
  meta_.clear();
  audioLeft_ = interval_;
  state_ = State::kAudio;
}

bool CIcyFilter::TakeTitle(std::string* title) {
  if (!newTitle_) return false;
  newTitle_ = false;
  *title = title_;
  return true;
}

}  // namespace zul
