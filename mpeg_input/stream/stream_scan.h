#pragma once
// The one-time scan of an MPEG audio file before it is played or described:
// where the audio lies, the format of its first frame, its VBR header, and
// from these its length, the samples to skip at the start (encoder and
// decoder delay) and LAME's ReplayGain values.
//
// Threads: a scan touches nothing but its source and its result; scans of
// different files may run at the same time on different threads.
#include <cstdint>

#include "mpeg_input/stream/byte_source.h"
#include "mpeg_input/stream/frame_header.h"
#include "mpeg_input/stream/vbr_header.h"

namespace zul {

// Positions examined for the first frame, counted from the data start.
inline constexpr int64_t kSyncSearchPositions = 65536;

struct CMpegScanResult {
  bool isStream = false;  // set by the network synchroniser, never by a file scan
  int64_t dataStart = 0;  // offset of the first frame header
  int64_t dataSize = 0;
  int64_t dataEnd = 0;  // dataStart + dataSize; nothing past it is audio

  CFrameHeader first;  // the accepted header; its bytes go to the decoder first
  bool mpeg25 = false;
  bool lsf = false;
  int layer = 0;
  int sampleRate = 0;
  int channelMode = 0;
  int channels = 0;
  int bitrate = 0;  // bits per second: the first frame's, or the average of a VBR header
  int samplesPerFrame = 0;
  int decoderDelay = 0;

  bool hasVbrHeader = false;
  CVbrHeader vbrHeader;
  bool vbr = false;          // "Xing" or "VBRI"; an "Info" file is CBR
  bool exactLength = false;  // the frame count of a VBR header gave the length

  int64_t frames = 0;
  int64_t totalSamples = 0;  // what the listener hears: encoder delay and padding excluded when known
  int64_t lengthMs = 0;
  int64_t initialSkip = 0;    // decoded samples to drop before the first one played
  int64_t startOffsetMs = 0;  // the encoder delay and the header frame, in ms

  bool hasTrackGain = false;
  double trackGainDb = 0.0;
  bool hasTrackPeak = false;
  double trackPeak = 0.0;
  bool hasAlbumGain = false;
  double albumGainDb = 0.0;
};

// Fills `out` and returns true, or returns false when the source is too
// short, its container has no audio chunk, or no frame header followed by a
// consistent one starts within kSyncSearchPositions bytes of the data start.
bool ScanMpegStream(CByteSource& source, CMpegScanResult& out);

// Looks for a header, followed one frame later by a consistent one, at the
// positions [from, from + positions) whose frames lie below `end`.
// Returns its offset or -1.
int64_t FindFirstFrame(CBufferedReader& reader, int64_t from, int64_t end, int64_t positions, CFrameHeader* header);

// Derives frames, samples, length, skip and the average bitrate from the
// format already in `out` and its VBR header (when hasVbrHeader is set).
void ComputeLength(CMpegScanResult& out);

}  // namespace zul
