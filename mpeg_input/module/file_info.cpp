#include "mpeg_input/module/file_info.h"

#include "mpeg_input/module/mpeg_settings.h"
#include "mpeg_input/tags/format_ex.h"
#include "mpeg_input/tags/tag_reader.h"

namespace zul {

std::optional<int> ScanLengthMs(CByteSource& file) {
  CMpegScanResult scan;
  if (!ScanMpegStream(file, scan)) return std::nullopt;
  return static_cast<int>(std::clamp<int64_t>(scan.lengthMs, 0, INT32_MAX));
}

tags::CTagCache& MpegTagCache() {
  static tags::CTagCache cache([](const std::wstring&, CByteSource& file) { return ScanLengthMs(file); });
  return cache;
}

CFileDescription DescribeFile(const std::wstring& path, tags::CTagCache& cache, const std::wstring& formatEx,
                              int tagPriority) {
  CFileDescription d;
  tags::CTagCache::Description read = cache.Describe(path, tagPriority);
  if (!read.lengthMs) {
    d.title = path.substr(0, tags::kTitleUnits);
    return d;
  }
  d.lengthMs = *read.lengthMs;
  tags::CTagFields fields;
  if (read.fields) fields = std::move(*read.fields);
  // File name fields of the template work for untagged files too.
  fields[tags::TagField::FilePath] = path;
  d.title = tags::FormatEx(formatEx, fields, tags::kTitleUnits);
  if (d.title.empty()) d.title = tags::SplitPath(path).name.substr(0, tags::kTitleUnits);
  return d;
}

CGainDecision DecideFileGain(const CMpegInputParam& settings, const CMpegScanResult& scan, CByteSource& file) {
  CReplayGainSettings rg = settings.ReplayGain();
  CReplayGainValues lame;
  if (scan.hasTrackGain) lame.trackGainDb = scan.trackGainDb;
  if (scan.hasTrackPeak) lame.trackPeak = scan.trackPeak;
  if (scan.hasAlbumGain) lame.albumGainDb = scan.albumGainDb;
  CReplayGainValues fromTags;
  if (rg.enable) {
    tags::ReplayGainValues v = tags::ReadTagReplayGain(file, rg.tagSources, settings.tagPriority);
    fromTags.trackGainDb = v.trackGain;
    fromTags.trackPeak = v.trackPeak;
    fromTags.albumGainDb = v.albumGain;
    fromTags.albumPeak = v.albumPeak;
  }
  return DecideGain(rg, false, lame, fromTags);
}

}  // namespace zul
