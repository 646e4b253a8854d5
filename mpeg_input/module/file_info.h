#pragma once
// What the module tells about a local file without playing it: its display
// title and length (GetFileInfo), the tag cache behind the extended
// information exports, and the gain a file is played with.
//
// Threads: any thread; the tag cache serialises itself.
#include <optional>
#include <string>

#include "mpeg_input/samples/replay_gain.h"
#include "mpeg_input/stream/byte_source.h"
#include "mpeg_input/stream/stream_scan.h"
#include "mpeg_input/tags/tag_cache.h"

namespace zul {

struct CMpegInputParam;

// The scan's length in ms; nothing when the file holds no valid frame.
std::optional<int> ScanLengthMs(const std::wstring& path);
// The same over a file the tag readers opened.
std::optional<int> ScanLengthMs(CByteSource& file);

// The module's one cache, answering with ScanLengthMs.
tags::CTagCache& MpegTagCache();

struct CFileDescription {
  std::wstring title;  // at most 259 characters
  int lengthMs = -1000;
};

// A file that is not playing: an unscannable file keeps its name as the
// title and -1000 as length; otherwise the title is `formatEx` over its
// tags, or the name without folder and extension when that gives nothing.
// The cache's one read of the file answers all of it.
CFileDescription DescribeFile(const std::wstring& path, tags::CTagCache& cache, const std::wstring& formatEx,
                              int tagPriority);

// The gain for playing a file: its LAME values from the scan, its tags'
// values (read through `file`, the source playback scanned) from the
// sources the settings name.
CGainDecision DecideFileGain(const CMpegInputParam& settings, const CMpegScanResult& scan, CByteSource& file);

}  // namespace zul
