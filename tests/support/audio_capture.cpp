#include "tests/support/audio_capture.h"

#include <windows.h>

#include <cstdlib>

#include "tests/support/zul_process.h"

namespace zul::test {
namespace {

constexpr DWORD kDeadlineMs = 15000;

std::wstring WindowsPath(const std::string& unixPath) {
  std::wstring w = L"Z:";
  for (char c : unixPath) w += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return w;
}

long long FileSize(const std::string& unixPath) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(WindowsPath(unixPath).c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

template <typename Condition>
bool WaitFor(Condition condition) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > kDeadlineMs) return false;
    Sleep(20);
  }
  return true;
}

// The recorder polls for the control file; writing it under another name
// first means it never reads half of it.
void PutControlFile(const std::string& dir, const std::string& name, const std::string& text) {
  const std::wstring temp = WindowsPath(dir + "/." + name + ".tmp");
  WriteFileBytes(temp, text);
  MoveFileExW(temp.c_str(), WindowsPath(dir + "/" + name).c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

CAudioCapture::CAudioCapture(std::string name) : name_(std::move(name)) {
  const char* dir = std::getenv("ZUL_AUDIO_CAPTURE_DIR");
  if (dir) dir_ = dir;
}

CAudioCapture::~CAudioCapture() {
  if (running_) Stop();
}

bool CAudioCapture::Start() {
  if (dir_.empty()) {
    error_ = "no recorder: run the test under tests/support/audio_capture.sh";
    return false;
  }
  const std::string raw = dir_ + "/" + name_ + ".raw";
  DeleteFileW(WindowsPath(raw).c_str());
  DeleteFileW(WindowsPath(dir_ + "/" + name_ + ".done").c_str());
  PutControlFile(dir_, "start", name_);
  running_ = true;
  // A tenth of a second of data means parec is connected and streaming.
  if (!WaitFor([&] { return FileSize(raw) >= kCaptureRate * 4 / 10; })) {
    error_ = "parec wrote no audio into " + raw + " (is PULSE_SERVER set by scripts/test-env.sh?)";
    Stop();
    return false;
  }
  return true;
}

std::vector<int16_t> CAudioCapture::Stop() {
  running_ = false;
  if (dir_.empty()) return {};
  PutControlFile(dir_, "stop", "");
  if (!WaitFor([&] { return FileSize(dir_ + "/" + name_ + ".done") >= 0; })) error_ = "the recorder did not stop";
  const std::string raw = ReadFileBytes(WindowsPath(dir_ + "/" + name_ + ".raw"));
  std::vector<int16_t> samples(raw.size() / 4 * 2);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>(static_cast<uint8_t>(raw[2 * i]) | (static_cast<uint8_t>(raw[2 * i + 1]) << 8));
  return samples;
}

}  // namespace zul::test
