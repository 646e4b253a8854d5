#include "mpeg_input/module/file_info.h"

#include <filesystem>

#include "mpeg_input/module/mpeg_settings.h"
#include "mpeg_input/stream/byte_source.h"
#include "mpeg_input/tags/byte_source.h"
#include "mpeg_input/tags/format_ex.h"
#include "mpeg_input/tags/tag_reader.h"

namespace zul {

namespace {

int ClampLength(const CMpegScanResult& scan) {
  return static_cast<int>(std::clamp<int64_t>(scan.lengthMs, 0, INT32_MAX));
}

// A tag readers' source seen as the scanner's.
class CTagFileBytes final : public CByteSource {
public:
  explicit CTagFileBytes(tags::ByteSource& file) : file_(file) {}
  int64_t Size() override { return static_cast<int64_t>(file_.Size()); }
  size_t ReadAt(int64_t offset, void* dst, size_t count) override {
    if (offset < 0 || static_cast<uint64_t>(offset) >= file_.Size()) return 0;
    size_t n = static_cast<size_t>(std::min<uint64_t>(count, file_.Size() - static_cast<uint64_t>(offset)));
    return file_.ReadAt(static_cast<uint64_t>(offset), {static_cast<uint8_t*>(dst), n}) ? n : 0;
  }

private:
  tags::ByteSource& file_;
};

}  // namespace

std::optional<int> ScanLengthMs(const std::wstring& path) {
  CFileSource file;
  CMpegScanResult scan;
  if (!file.Open(std::filesystem::path(path)) || !ScanMpegStream(file, scan)) return std::nullopt;
  return ClampLength(scan);
}

std::optional<int> ScanLengthMs(tags::ByteSource& file) {
  CTagFileBytes bytes(file);
  CMpegScanResult scan;
  if (!ScanMpegStream(bytes, scan)) return std::nullopt;
  return ClampLength(scan);
}

tags::CTagCache& MpegTagCache() {
  static tags::CTagCache cache([](const std::wstring&, tags::ByteSource& file) { return ScanLengthMs(file); });
  return cache;
}

CFileDescription DescribeFile(const std::wstring& path, tags::CTagCache& cache, const std::wstring& formatEx,
                              int tagPriority) {
  CFileDescription d;
  std::optional<int> length = ScanLengthMs(path);
  if (!length) {
    d.title = path.substr(0, tags::kTitleUnits);
    return d;
  }
  d.lengthMs = *length;
  tags::CTagFields fields;
  if (std::optional<tags::CTagCache::Entry> entry = cache.Lookup(path, tagPriority)) fields = entry->fields;
  // File name fields of the template work for untagged files too.
  fields[tags::TagField::FilePath] = path;
  d.title = tags::FormatEx(formatEx, fields, tags::kTitleUnits);
  if (d.title.empty()) d.title = tags::SplitPath(path).name.substr(0, tags::kTitleUnits);
  return d;
}

CGainDecision DecideFileGain(const CMpegInputParam& settings, const CMpegScanResult& scan, const std::wstring& path) {
  CReplayGainSettings rg = settings.ReplayGain();
  CReplayGainValues lame;
  if (scan.hasTrackGain) lame.trackGainDb = scan.trackGainDb;
  if (scan.hasTrackPeak) lame.trackPeak = scan.trackPeak;
  if (scan.hasAlbumGain) lame.albumGainDb = scan.albumGainDb;
  CReplayGainValues fromTags;
  if (rg.enable) {
    if (std::unique_ptr<tags::ByteSource> source = tags::OpenFileSource(path)) {
      tags::ReplayGainValues v = tags::ReadTagReplayGain(*source, rg.tagSources, settings.tagPriority);
      fromTags.trackGainDb = v.trackGain;
      fromTags.trackPeak = v.trackPeak;
      fromTags.albumGainDb = v.albumGain;
      fromTags.albumPeak = v.albumPeak;
    }
  }
  return DecideGain(rg, false, lame, fromTags);
}

}  // namespace zul
