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

class FileSource final : public ByteSource {
public:
  // Takes ownership of `file`; the size is taken once, when opened.
  FileSource(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
  std::FILE* file_;
  std::uint64_t size_;
};

// nullptr when the file cannot be opened or measured.
std::unique_ptr<ByteSource> OpenFileSource(const std::wstring& path);

}  // namespace zul::tags
