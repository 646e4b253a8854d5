#include "mpeg_input/module/location_claim.h"

#include <array>

#include "base/text_codec.h"

namespace zul {
namespace {

// Stream kinds other input plug-ins play; this module only plays MPEG audio.
constexpr std::array<std::wstring_view, 14> kForeignStreamExtensions = {
    L"mp4", L"m4v", L"m4a", L"m4p", L"aac", L"aacp", L"asf", L"wmv", L"wma", L"nsv", L"nsa", L"ogg", L"apl", L"vlb"};

}  // namespace

bool IsStreamLocation(std::wstring_view name) { return name.starts_with(L"http://") || name.starts_with(L"https://"); }

std::wstring_view LocationExtension(std::wstring_view name) {
  size_t slash = name.find_last_of(L"\\/");
  std::wstring_view last = slash == std::wstring_view::npos ? name : name.substr(slash + 1);
  size_t dot = last.rfind(L'.');
  return dot == std::wstring_view::npos ? std::wstring_view{} : last.substr(dot + 1);
}

bool CLocationClaim::IsOurFile(std::wstring_view name) {
  const std::wstring_view ext = LocationExtension(name);
  if (NewHost() && recent_ && clock_() - recentAt_ < 100 && EqualNoCase(ext, L"mp3")) {
    recent_ = false;
    return false;
  }
  auto considerStream = [this] {
    if (!NewHost()) return;
    recent_ = true;
    recentAt_ = clock_();
  };
  if (IsStreamLocation(name)) {
    considerStream();
    if (!enable_ || !streaming_) return false;
    for (std::wstring_view foreign : kForeignStreamExtensions)
      if (EqualNoCase(ext, foreign)) return false;
    return true;
  }
  if (name.starts_with(L"mms://") || name.starts_with(L"mmsu://") || name.starts_with(L"mmst://")) {
    considerStream();
    return false;
  }
  if (NewHost()) recent_ = false;
  return false;
}

}  // namespace zul
