#pragma once
// Random-access bytes of one file or block of memory: the one kind of source
// that the stream scanner, the seek table, the decoder's reader and the tag
// readers all read through, so that one query about a file opens it once.
//
// Threads: a source has no lock. The thread that opened it (the prepare
// thread, or the thread asking for file information) reads through it;
// during playback the decode thread alone does.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace zul {

class CByteSource {
public:
  virtual ~CByteSource() = default;
  // Total size in bytes; 0 for a file that is not open.
  virtual uint64_t Size() const = 0;
  // Copies up to `count` bytes from `offset`; returns how many were copied
  // (fewer at the end of the data, 0 on a failed read or an offset outside).
  virtual size_t ReadAt(int64_t offset, void* dst, size_t count) = 0;
  // All bytes at once when the source holds them in memory (a fully
  // buffered or mapped file), so that readers need not copy; empty otherwise.
  virtual std::span<const uint8_t> Contiguous() { return {}; }

  // The tag readers' questions. They ask for exact ranges and treat every
  // failure as "no tag", so a length field that points outside the source
  // can only end a read cleanly.
  // True when [offset, offset + count) lies inside the source.
  bool Contains(uint64_t offset, uint64_t count) const { return offset <= Size() && count <= Size() - offset; }
  // Fills `out` with the bytes at `offset`; false when the range is not
  // wholly inside the source or the read fails.
  bool ReadExact(uint64_t offset, std::span<uint8_t> out);
  // Reads `count` bytes at `offset`; false (and `out` empty) when they are
  // not all there. Nothing is allocated for a range the source lacks.
  bool ReadVector(uint64_t offset, uint64_t count, std::vector<uint8_t>& out);
};

// A view of bytes owned elsewhere; they must outlive the source.
class CMemorySource final : public CByteSource {
public:
  explicit CMemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  size_t ReadAt(int64_t offset, void* dst, size_t count) override;
  std::span<const uint8_t> Contiguous() override { return bytes_; }

private:
  std::span<const uint8_t> bytes_;
};

// A read-only file with 64-bit offsets, its size taken once when opened.
// The scanner and the decoder read large pieces (CBufferedReader's window,
// the decoder's input), which go to the file directly. The tag readers read
// small pieces near the start (ID3v2) and near the end (ID3v1, APE,
// Lyrics3, an appended ID3v2), alternately, and so does the scanner's look
// for trailing tags; each piece from the file system would cost a seek and a
// read. So pieces of up to kWindowBytes are served from two windows of that
// size, each loaded where a piece missed both (at the end of the file, up to
// its last byte).
class CFileSource final : public CByteSource {
public:
  static constexpr size_t kWindowBytes = 4096;

  CFileSource() = default;
  ~CFileSource() override;
  CFileSource(const CFileSource&) = delete;
  CFileSource& operator=(const CFileSource&) = delete;

  // Native (UTF-8) names outside Windows; see FilePathOf for wide names.
  bool Open(const std::filesystem::path& path);
  bool IsOpen() const { return file_ != nullptr; }
  void Close();

  uint64_t Size() const override { return size_; }
  size_t ReadAt(int64_t offset, void* dst, size_t count) override;

private:
  struct Window {
    uint64_t start = 0;
    size_t fill = 0;  // 0: not loaded
    uint8_t bytes[kWindowBytes];
  };
  size_t ReadFile(uint64_t offset, void* dst, size_t count);

  std::FILE* file_ = nullptr;
  uint64_t size_ = 0;
  // Allocated on the first small read: playback, which reads large pieces
  // only, never needs them.
  std::unique_ptr<Window[]> windows_;
  int older_ = 0;  // the window to load next
};

// A wide file name as a path the file functions take: as is on Windows,
// UTF-8 elsewhere.
std::filesystem::path FilePathOf(const std::wstring& path);

// The file opened, or nullptr when it cannot be opened or measured.
std::unique_ptr<CFileSource> OpenFileSource(const std::wstring& path);

// A forward-moving window over a source, so that scanning one byte or one
// frame header at a time costs no call per position. Over a source held in
// memory it hands out pointers into it and copies nothing.
class CBufferedReader {
public:
  explicit CBufferedReader(CByteSource& source, size_t windowSize = 65536);

  // Points *data at `count` bytes starting at `offset`, refilling the window
  // when needed. Returns false when fewer than `count` bytes exist there.
  // The pointer stays valid until the next call.
  bool Peek(int64_t offset, size_t count, const uint8_t** data);

  // Like Peek, but hands out whatever is there (up to `count`) and its length.
  size_t PeekSome(int64_t offset, size_t count, const uint8_t** data);

private:
  CByteSource& source_;
  std::span<const uint8_t> whole_;
  std::vector<uint8_t> window_;
  size_t windowSize_;
  int64_t windowStart_ = 0;
  size_t windowFill_ = 0;
};

}  // namespace zul
