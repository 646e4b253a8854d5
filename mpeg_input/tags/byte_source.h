#pragma once
// Random-access bytes for the tag readers: a file or a block of memory.
// Readers ask for exact ranges and treat every failure as "no tag", so a
// length field that points outside the source can only end a read cleanly.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace zul::tags {

class ByteSource {
public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t Size() const = 0;
  // Fills `out` with the bytes at `offset`; false when the range is not
  // wholly inside the source or the read fails.
  virtual bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) = 0;

  // Reads `count` bytes at `offset`; false (and `out` empty) when they are
  // not all there.
  bool ReadVector(std::uint64_t offset, std::uint64_t count, std::vector<std::uint8_t>& out);
  // True when [offset, offset + count) lies inside the source.
  bool Contains(std::uint64_t offset, std::uint64_t count) const {
    return offset <= Size() && count <= Size() - offset;
  }
};

// Does not own the bytes.
class MemorySource final : public ByteSource {
public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
  std::span<const std::uint8_t> bytes_;
};

// Tag readers read small pieces near the start of a file (ID3v2) and near
// its end (ID3v1, APE, Lyrics3, an appended ID3v2), alternately, and every
// piece read from the file system costs a seek and a read. So pieces of up
// to kWindowBytes are served from two windows of that size, each loaded
// where a piece missed both (at the end of the file, up to its last byte);
// larger reads go to the file directly.
class FileSource final : public ByteSource {
public:
  static constexpr std::size_t kWindowBytes = 4096;

  // Takes ownership of `file`, which should be unbuffered: the windows are
  // the buffer. The size is taken once, when opened.
  FileSource(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
  struct Window {
    std::uint64_t start = 0;
    std::size_t fill = 0;  // 0: not loaded
    std::uint8_t bytes[kWindowBytes];
  };
  bool ReadFile(std::uint64_t offset, std::span<std::uint8_t> out);

  std::FILE* file_;
  std::uint64_t size_;
  Window windows_[2];
  int older_ = 0;  // the window to load next
};

// nullptr when the file cannot be opened or measured.
std::unique_ptr<ByteSource> OpenFileSource(const std::wstring& path);

}  // namespace zul::tags
