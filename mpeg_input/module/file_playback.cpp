#include "mpeg_input/module/file_playback.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "mpeg_input/decoder/priming.h"
#include "mpeg_input/http/stream_sync.h"

namespace zul {

CMpegFilePlayback::CMpegFilePlayback() : readBuffer_(kReadPiece), buffer_(kBufferDoubles) {}

CMpegFilePlayback::~CMpegFilePlayback() = default;

bool CMpegFilePlayback::Open(const std::filesystem::path& path, bool fullBuffering) {
  if (!file_.Open(path)) return false;
  source_ = &file_;
  if (fullBuffering) {
    int64_t size = file_.Size();
    // A file too large for memory is played from disk rather than refused.
    if (size > 0 && static_cast<uint64_t>(size) < SIZE_MAX / 2) {
      try {
        whole_.resize(static_cast<size_t>(size));
      } catch (const std::bad_alloc&) {
        whole_.clear();
      }
      if (!whole_.empty() && file_.ReadAt(0, whole_.data(), whole_.size()) == whole_.size()) {
        memory_ = std::make_unique<CMemorySource>(whole_);
        source_ = memory_.get();
        file_.Close();
      } else {
        whole_.clear();
      }
    }
  }
  if (!ScanMpegStream(*source_, scan_)) return false;
  seekTable_ = std::make_unique<CSeekTable>(*source_, scan_);
  frameMs_ = scan_.samplesPerFrame * 1000.0 / scan_.sampleRate;
  readPos_ = feedBase_ = scan_.dataStart;
  return true;
}

void CMpegFilePlayback::OpenStream(CStreamRing& ring, const CFrameHeader& first, int bitrateKbps) {
  ring_ = &ring;
  memory_ = std::make_unique<CMemorySource>(std::span<const uint8_t>());
  source_ = memory_.get();
  scan_ = CMpegScanResult{};
  scan_.isStream = true;
  scan_.dataEnd = INT64_MAX;
  scan_.first = first;
  scan_.mpeg25 = first.mpeg25;
  scan_.lsf = first.lsf;
  scan_.layer = first.layer;
  scan_.sampleRate = first.sampleRate;
  scan_.channelMode = first.channelMode;
  scan_.channels = first.channels;
  scan_.bitrate = (bitrateKbps > 0 ? bitrateKbps : first.bitrateKbps) * 1000;
  scan_.samplesPerFrame = first.samplesPerFrame;
  scan_.decoderDelay = first.decoderDelay;
  frameMs_ = scan_.samplesPerFrame * 1000.0 / scan_.sampleRate;
  readPos_ = feedBase_ = 0;
}

bool CMpegFilePlayback::StartDecoding(const CGainDecision& gain, bool suppressZeros) {
  if (!source_) return false;
  decoder_ = CMpegDecoder::Create(gain);
  if (!decoder_) return false;
  skipRemaining_ = scan_.initialSkip;
  delivered_ = 0;
  suppressZeros_ = suppressZeros;
  if (suppressZeros_) zeros_.Arm();
  clockMs_.store(0.0, std::memory_order_relaxed);
  return true;
}

void CMpegFilePlayback::AdvanceClock(size_t frames) {
  double now = clockMs_.load(std::memory_order_relaxed);
  clockMs_.store(now + frames * 1000.0 / scan_.sampleRate, std::memory_order_relaxed);
}

std::span<const uint8_t> CMpegFilePlayback::ReadPiece() {
  if (ring_) {
    // Waits for the receiver; empty once it has ended and the ring is
    // drained, or when Stop aborted the ring.
    size_t got = ring_->Read(readBuffer_.data(), readBuffer_.size(), 100);
    readPos_ += static_cast<int64_t>(got);
    return {readBuffer_.data(), got};
  }
  int64_t left = scan_.dataEnd - readPos_;
  if (left <= 0) return {};
  size_t want = static_cast<size_t>(std::min<int64_t>(left, kReadPiece));
  std::span<const uint8_t> whole = source_->Contiguous();
  if (!whole.empty()) {
    if (static_cast<uint64_t>(readPos_) >= whole.size()) return {};
    want = std::min<size_t>(want, whole.size() - static_cast<size_t>(readPos_));
    auto piece = whole.subspan(static_cast<size_t>(readPos_), want);
    readPos_ += static_cast<int64_t>(want);
    return piece;
  }
  size_t got = source_->ReadAt(readPos_, readBuffer_.data(), want);
  readPos_ += static_cast<int64_t>(got);
  return {readBuffer_.data(), got};
}

void CMpegFilePlayback::Accept(size_t frames) {
  const size_t ch = static_cast<size_t>(scan_.channels);
  double* fresh = buffer_.data() + tail_;
  size_t drop = static_cast<size_t>(std::min<int64_t>(skipRemaining_, static_cast<int64_t>(frames)));
  skipRemaining_ -= static_cast<int64_t>(drop);
  frames -= drop;
  if (frames == 0) return;
  if (drop > 0) std::memmove(fresh, fresh + drop * ch, frames * ch * sizeof(double));
  if (suppressZeros_ && zeros_.Armed()) {
    size_t silent = zeros_.Drop(fresh, frames, scan_.channels);
    AdvanceClock(silent);
    frames -= silent;
  }
  if (scan_.exactLength) {
    frames = static_cast<size_t>(std::clamp<int64_t>(scan_.totalSamples - delivered_, 0, frames));
    if (delivered_ + static_cast<int64_t>(frames) >= scan_.totalSamples) ended_ = true;
  }
  delivered_ += static_cast<int64_t>(frames);
  tail_ += frames * ch;
}

size_t CMpegFilePlayback::NextBlock(double** samples, bool* ended) {
  const size_t ch = static_cast<size_t>(scan_.channels);
  head_ += handedOut_;
  handedOut_ = 0;
  if (!decoder_) {
    *ended = true;
    return 0;
  }
  const size_t want = kBlockFrames * ch;
  const size_t frameRoom = CMpegDecoder::kMinOutputBytes / sizeof(double);
  std::span<const uint8_t> input;
  while (tail_ - head_ < want && !ended_) {
    if (buffer_.size() - tail_ < frameRoom) {
      std::memmove(buffer_.data(), buffer_.data() + head_, (tail_ - head_) * sizeof(double));
      tail_ -= head_;
      head_ = 0;
    }
    size_t bytes = 0;
    DecodeResult r = decoder_->Decode(input, buffer_.data() + tail_, (buffer_.size() - tail_) * sizeof(double), &bytes);
    input = {};
    switch (r) {
      case DecodeResult::kNeedMore:
        input = ReadPiece();
        if (input.empty()) ended_ = true;
        break;
      case DecodeResult::kFrame:
        Accept(bytes / sizeof(double) / ch);
        break;
      case DecodeResult::kFrameLost:
        ++lostFrames_;
        clockMs_.store(ClockMs() + frameMs_, std::memory_order_relaxed);
        break;
      case DecodeResult::kError:
        ended_ = true;
        break;
    }
  }
  size_t frames = std::min(tail_ - head_, want) / ch;
  handedOut_ = frames * ch;
  *samples = buffer_.data() + head_;
  *ended = ended_ && frames * ch == tail_ - head_;
  return frames;
}

void CMpegFilePlayback::ResetDecoderAt(int64_t offset) {
  readPos_ = feedBase_ = offset;
  ended_ = false;
  if (!decoder_->Reset()) {
    decoder_.reset();
    ended_ = true;
  }
}

bool CMpegFilePlayback::Resynchronise() {
  if (!decoder_ || (scan_.exactLength && delivered_ >= scan_.totalSamples)) return false;
  if (ring_) {
    // What libmpg123 still holds is dropped; the search starts at the ring.
    CFrameHeader h;
    if (!SynchroniseRing(*ring_, &h, &scan_.first)) return false;
    ++resyncs_;
    ResetDecoderAt(readPos_);
    return decoder_ != nullptr;
  }
  int64_t from = std::max(feedBase_ + decoder_->ConsumedBytes(), lastResync_ + 1);
  CBufferedReader reader(*source_);
  while (from < scan_.dataEnd) {
    CFrameHeader h;
    int64_t at = FindFirstFrame(reader, from, scan_.dataEnd, kSyncSearchPositions, &h);
    if (at < 0) return false;
    if (SameStream(h, scan_.first)) {
      lastResync_ = at;
      ++resyncs_;
      ResetDecoderAt(at);
      return decoder_ != nullptr;
    }
    from = at + 1;
  }
  return false;
}

bool CMpegFilePlayback::Seek(double ms) {
  if (ring_) return false;
  if (!decoder_ || !(ms >= 0.0) || !std::isfinite(ms)) return false;
  const int64_t rate = scan_.sampleRate;
  const int64_t spf = scan_.samplesPerFrame;
  // Sample positions count from the first sample heard; the decoder's count
  // from the first sample of the first frame, the delays included.
  int64_t sample = std::llround(ms * rate / 1000.0);
  int64_t decoded = sample + scan_.initialSkip;
  int64_t frame = decoded / spf;
  CSeekTable::Entry landing;
  if (!seekTable_->Find((static_cast<double>(frame) + 0.5) * frameMs_, landing)) return false;
  const auto& entries = seekTable_->Entries();
  size_t index = static_cast<size_t>(std::llround(landing.ms / frameMs_));
  if (index >= entries.size() || entries[index].offset != landing.offset) return false;
  // When the table ends before the frame (the end of the data, or a damaged
  // header that stopped the walk), decoding starts at the last frame it
  // reached and everything before the target is dropped: at the end of the
  // data that is all there is, and behind damage the decoder finds its way.
  size_t first = FirstFrameToFeed(entries, index, scan_.layer, scan_.lsf);
  int64_t discard = decoded - static_cast<int64_t>(first) * spf;

  lastSeekFrame_ = landing.offset;
  lastSeekFeed_ = entries[first].offset;
  head_ = tail_ = handedOut_ = 0;
  lastResync_ = -1;
  ResetDecoderAt(entries[first].offset);
  if (!decoder_) return false;
  skipRemaining_ = discard;
  delivered_ = sample;
  if (scan_.exactLength && delivered_ >= scan_.totalSamples) ended_ = true;
  if (suppressZeros_) zeros_.Arm();
  clockMs_.store(ms, std::memory_order_relaxed);
  return true;
}

}  // namespace zul
