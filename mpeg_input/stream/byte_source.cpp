#include "mpeg_input/stream/byte_source.h"

#include <algorithm>
#include <cstring>

#include "base/text_codec.h"

namespace zul {

bool CByteSource::ReadExact(uint64_t offset, std::span<uint8_t> out) {
  if (!Contains(offset, out.size())) return false;
  if (out.empty()) return true;
  return ReadAt(static_cast<int64_t>(offset), out.data(), out.size()) == out.size();
}

bool CByteSource::ReadVector(uint64_t offset, uint64_t count, std::vector<uint8_t>& out) {
  out.clear();
  // Checked before allocating: a length field is only trusted once the bytes
  // it claims are known to exist.
  if (!Contains(offset, count) || count > SIZE_MAX) return false;
  out.resize(static_cast<size_t>(count));
  if (!ReadExact(offset, out)) {
    out.clear();
    return false;
  }
  return true;
}

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
  // Reads are large or served from the windows; a stdio buffer would only
  // add a copy and make every positioned read discard it.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  const int64_t size = Seek64(file_, 0, SEEK_END) == 0 ? Tell64(file_) : -1;
  if (size < 0) {
    Close();
    return false;
  }
  size_ = static_cast<uint64_t>(size);
  return true;
}

void CFileSource::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  size_ = 0;
  windows_.reset();
  older_ = 0;
}

size_t CFileSource::ReadFile(uint64_t offset, void* dst, size_t count) {
  if (Seek64(file_, static_cast<int64_t>(offset), SEEK_SET) != 0) return 0;
  return std::fread(dst, 1, count, file_);
}

size_t CFileSource::ReadAt(int64_t offset, void* dst, size_t count) {
  if (!file_ || offset < 0 || static_cast<uint64_t>(offset) >= size_) return 0;
  const uint64_t at = static_cast<uint64_t>(offset);
  count = static_cast<size_t>(std::min<uint64_t>(count, size_ - at));
  if (count > kWindowBytes) return ReadFile(at, dst, count);
  if (!windows_) windows_ = std::make_unique<Window[]>(2);
  for (int i = 0; i < 2; ++i) {
    const Window& w = windows_[i];
    if (w.fill != 0 && at >= w.start && at - w.start + count <= w.fill) {
      std::memcpy(dst, w.bytes + (at - w.start), count);
      older_ = 1 - i;
      return count;
    }
  }
  Window& w = windows_[older_];
  // Within the file from `offset` on, or the file's last bytes when fewer
  // than a window's worth follow: the tail readers step backwards from the
  // end, and one window then serves them all.
  const uint64_t start = size_ - at >= kWindowBytes ? at : (size_ > kWindowBytes ? size_ - kWindowBytes : 0);
  const size_t fill = static_cast<size_t>(std::min<uint64_t>(kWindowBytes, size_ - start));
  w.fill = 0;
  if (ReadFile(start, w.bytes, fill) != fill) return 0;
  w.start = start;
  w.fill = fill;
  older_ = 1 - older_;
  std::memcpy(dst, w.bytes + (at - start), count);
  return count;
}

std::filesystem::path FilePathOf(const std::wstring& path) {
#ifdef _WIN32
  return std::filesystem::path(path);
#else
  // Not path(wstring): that converts through the C locale and throws on
  // anything outside ASCII.
  const std::string utf8 = EncodeUtf8(path);
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#endif
}

std::unique_ptr<CFileSource> OpenFileSource(const std::wstring& path) {
  auto file = std::make_unique<CFileSource>();
  if (!file->Open(FilePathOf(path))) return nullptr;
  return file;
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
