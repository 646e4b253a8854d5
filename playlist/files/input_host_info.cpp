#include "playlist/files/input_host_info.h"

#include <atomic>

#include "playlist/core/tag_source.h"

namespace zul {
namespace {

// The built-in MPEG input is always the first input plug-in; this is what it
// claims with its default settings.
constexpr wchar_t kBuiltInExtensions[] = L"MP3;MP2;MP1;RMP";

class HostTagSource : public TagSource {
public:
  // A reader may still hold this source when the host is unregistered; it
  // then gets the answers of no host.
  void GetFileInfo(const std::wstring& path, std::wstring* title, int* lengthMs) override {
    if (InputHostInfo* host = host_.load()) return host->GetFileInfo(path, title, lengthMs);
    title->clear();
    *lengthMs = -1;
  }
  bool GetExtendedFileInfo(const std::wstring& path, const char* field, std::wstring* value) override {
    InputHostInfo* host = host_.load();
    return host && host->GetExtendedFileInfo(path, field, value);
  }
  std::atomic<InputHostInfo*> host_{nullptr};
};

HostTagSource g_tagSource;

}  // namespace

void RegisterInputHostInfo(InputHostInfo* host) {
  g_tagSource.host_.store(host);
  SetTagSource(host ? &g_tagSource : nullptr);
}

std::wstring InputExtensionList() {
  InputHostInfo* host = g_tagSource.host_.load();
  return host ? host->ExtensionList() : std::wstring(kBuiltInExtensions);
}

}  // namespace zul
