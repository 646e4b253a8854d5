#include "mpeg_input/tags/byte_source.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "mpeg_input/tags/tag_platform.h"

namespace zul::tags {

bool ByteSource::ReadVector(std::uint64_t offset, std::uint64_t count, std::vector<std::uint8_t>& out) {
  out.clear();
  // Checked before allocating: a length field is only trusted once the bytes
  // it claims are known to exist.
  if (!Contains(offset, count) || count > SIZE_MAX) return false;
  out.resize(static_cast<std::size_t>(count));
  if (!ReadAt(offset, out)) {
    out.clear();
    return false;
  }
  return true;
}

bool MemorySource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (!Contains(offset, out.size())) return false;
  if (!out.empty()) std::memcpy(out.data(), bytes_.data() + offset, out.size());
  return true;
}

FileSource::~FileSource() { std::fclose(file_); }

bool FileSource::ReadFile(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (!SeekFile(file_, offset)) return false;
  return std::fread(out.data(), 1, out.size(), file_) == out.size();
}

bool FileSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (!Contains(offset, out.size())) return false;
  if (out.empty()) return true;
  if (out.size() > kWindowBytes) return ReadFile(offset, out);
  for (int i = 0; i < 2; ++i) {
    const Window& w = windows_[i];
    if (w.fill != 0 && offset >= w.start && offset - w.start + out.size() <= w.fill) {
      std::memcpy(out.data(), w.bytes + (offset - w.start), out.size());
      older_ = 1 - i;
      return true;
    }
  }
  Window& w = windows_[older_];
  // Within the file from `offset` on, or the file's last bytes when fewer
  // than a window's worth follow: the tail readers step backwards from the
  // end, and one window then serves them all.
  const std::uint64_t start =
      size_ - offset >= kWindowBytes ? offset : (size_ > kWindowBytes ? size_ - kWindowBytes : 0);
  const std::size_t fill = static_cast<std::size_t>(std::min<std::uint64_t>(kWindowBytes, size_ - start));
  w.fill = 0;
  if (!ReadFile(start, {w.bytes, fill})) return false;
  w.start = start;
  w.fill = fill;
  older_ = 1 - older_;
  std::memcpy(out.data(), w.bytes + (offset - start), out.size());
  return true;
}

std::unique_ptr<ByteSource> OpenFileSource(const std::wstring& path) {
  std::FILE* file = OpenBinaryFile(path);
  if (!file) return nullptr;
  std::setvbuf(file, nullptr, _IONBF, 0);
  std::optional<std::uint64_t> size = FileSizeOf(file);
  if (!size) {
    std::fclose(file);
    return nullptr;
  }
  return std::make_unique<FileSource>(file, *size);
}

}  // namespace zul::tags
