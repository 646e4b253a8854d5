#include "mpeg_input/tags/byte_source.h"

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

bool FileSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (!Contains(offset, out.size())) return false;
  if (out.empty()) return true;
  if (!SeekFile(file_, offset)) return false;
  return std::fread(out.data(), 1, out.size(), file_) == out.size();
}

std::unique_ptr<ByteSource> OpenFileSource(const std::wstring& path) {
  std::FILE* file = OpenBinaryFile(path);
  if (!file) return nullptr;
  std::optional<std::uint64_t> size = FileSizeOf(file);
  if (!size) {
    std::fclose(file);
    return nullptr;
  }
  return std::make_unique<FileSource>(file, *size);
}

}  // namespace zul::tags
