#pragma once
// Random-access byte sources for the stream scanner and the seek table.
//
// Threads: a source has no lock. The scanner runs on the thread that asked for
// the scan (prepare thread, or the main thread for GetFileInfo); during
// playback the decode thread alone reads through it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <vector>

namespace zul {

class CByteSource {
public:
  virtual ~CByteSource() = default;
  // Total size in bytes, or -1 when it cannot be determined.
  virtual int64_t Size() = 0;
  // Copies up to `count` bytes from `offset`; returns how many were copied
  // (fewer at the end of the data, 0 on a failed read or an offset outside).
  virtual size_t ReadAt(int64_t offset, void* dst, size_t count) = 0;
  // All bytes at once when the source holds them in memory (a fully
  // buffered or mapped file), so that readers need not copy; empty otherwise.
  virtual std::span<const uint8_t> Contiguous() { return {}; }
};

// A view of bytes owned elsewhere; they must outlive the source.
class CMemorySource : public CByteSource {
public:
  explicit CMemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  size_t ReadAt(int64_t offset, void* dst, size_t count) override;
  std::span<const uint8_t> Contiguous() override { return bytes_; }

private:
  std::span<const uint8_t> bytes_;
};

// An unbuffered read-only file with 64-bit offsets. Callers that read small
// pieces go through CBufferedReader.
class CFileSource : public CByteSource {
public:
  CFileSource() = default;
  ~CFileSource() override;
  CFileSource(const CFileSource&) = delete;
  CFileSource& operator=(const CFileSource&) = delete;

  // Wide names on Windows, the native (UTF-8) names elsewhere.
  bool Open(const std::filesystem::path& path);
  bool IsOpen() const { return file_ != nullptr; }
  void Close();

  int64_t Size() override;
  size_t ReadAt(int64_t offset, void* dst, size_t count) override;

private:
  std::FILE* file_ = nullptr;
  int64_t size_ = -1;
};

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
