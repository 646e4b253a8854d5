#include "pluginhost/host/input_tag_source.h"

#include <array>

#include "pluginhost/host/plugin_library.h"

namespace zul {
namespace {

// The answer buffer of an extended-information question, in characters.
constexpr int kFieldUnits = 260;

}  // namespace

void InputTagSource::Register() { SetTagSource(this); }

void InputTagSource::Unregister() {
  // A plug-in inside a read on a worker may be sending this thread a
  // message (many ask the Winamp window for something) and would never
  // return unless it is answered.
  SetTagSource(nullptr, std::chrono::milliseconds::max(), [] { ServeSentMessages(); });
}

void InputTagSource::GetFileInfo(const std::wstring& path, std::wstring* title, int* lengthMs) {
  inputs_.GetFileInfo(&path, *title, *lengthMs);
}

bool InputTagSource::GetExtendedFileInfo(const std::wstring& path, const char* field, std::wstring* value) {
  std::wstring wideField;
  for (const char* c = field; *c; ++c) wideField += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  std::array<wchar_t, kFieldUnits> buffer{};
  // -1 (no plug-in takes the location) and 0 (it did not answer) both fail.
  if (inputs_.GetExtendedFileInfo(path, wideField.c_str(), buffer.data(), kFieldUnits) <= 0) return false;
  buffer.back() = L'\0';
  *value = buffer.data();
  return true;
}

std::wstring InputTagSource::ExtensionList() { return inputs_.BuildExtensionList(); }

}  // namespace zul
