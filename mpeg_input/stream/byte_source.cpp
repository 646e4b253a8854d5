#include "mpeg_input/stream/byte_source.h"

#include <algorithm>
#include <cstring>

namespace zul {

size_t CMemorySource::ReadAt(int64_t offset, void* dst, size_t count) {
  if (offset < 0 || static_cast<uint64_t>(offset) >= bytes_.size()) return 0;
  size_t n = std::min(count, bytes_.size() - static_cast<size_t>(offset));
  std::memcpy(dst, bytes_.data() + offset, n);
  return n;
}

namespace {

int Seek64(std::FILE* f, int64_t offset, int origin) {
#ifdef _WIN32
  return _fseeki64(f, offset, origin);
#else
  return fseeko(f, static_cast<off_t>(offset), origin);
#endif
}

int64_t Tell64(std::FILE* f) {
#ifdef _WIN32
  return _ftelli64(f);
#else
  return static_cast<int64_t>(ftello(f));
#endif
}

}  // namespace

CFileSource::~CFileSource() { Close(); }

bool CFileSource::Open(const std::filesystem::path& path) {
  Close();
#ifdef _WIN32
  file_ = _wfopen(path.c_str(), L"rb");
#else
  file_ = std::fopen(path.c_str(), "rb");
#endif
  if (!file_) return false;
  // Reads are large or go through CBufferedReader; a stdio buffer would only
  // add a copy and make every positioned read discard it.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  if (Seek64(file_, 0, SEEK_END) == 0) size_ = Tell64(file_);
  if (size_ < 0) {
    Close();
    return false;
  }
  return true;
}

void CFileSource::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  size_ = -1;
}

int64_t CFileSource::Size() { return size_; }

size_t CFileSource::ReadAt(int64_t offset, void* dst, size_t count) {
  if (!file_ || offset < 0 || offset >= size_) return 0;
  if (Seek64(file_, offset, SEEK_SET) != 0) return 0;
  return std::fread(dst, 1, count, file_);
}

CBufferedReader::CBufferedReader(CByteSource& source, size_t windowSize)
    : source_(source), whole_(source.Contiguous()), windowSize_(std::max<size_t>(windowSize, 16)) {}

size_t CBufferedReader::PeekSome(int64_t offset, size_t count, const uint8_t** data) {
  *data = nullptr;
  if (offset < 0 || count == 0) return 0;
  if (!whole_.empty()) {
    if (static_cast<uint64_t>(offset) >= whole_.size()) return 0;
    *data = whole_.data() + offset;
    return std::min<uint64_t>(count, whole_.size() - static_cast<uint64_t>(offset));
  }
  bool inside = offset >= windowStart_ &&
                offset + static_cast<int64_t>(count) <= windowStart_ + static_cast<int64_t>(windowFill_);
  if (!inside) {
    size_t want = std::max(count, windowSize_);
    if (window_.size() < want) window_.resize(want);
    windowStart_ = offset;
    windowFill_ = source_.ReadAt(offset, window_.data(), want);
  }
  if (offset < windowStart_ || offset >= windowStart_ + static_cast<int64_t>(windowFill_)) return 0;
  size_t at = static_cast<size_t>(offset - windowStart_);
  *data = window_.data() + at;
  return std::min(count, windowFill_ - at);
}

bool CBufferedReader::Peek(int64_t offset, size_t count, const uint8_t** data) {
  return PeekSome(offset, count, data) == count;
}

}  // namespace zul
