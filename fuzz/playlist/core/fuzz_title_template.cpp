// Title templates against any template and any entry texts.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "playlist/core/tag_source.h"
#include "playlist/core/title_template.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// Parts of the input separated by byte 0x01, one byte per character.
std::vector<std::wstring> Parts(std::string_view data) {
  std::vector<std::wstring> out(1);
  for (char c : data) {
    if (c == '\x01' && out.size() < 8) {
      out.emplace_back();
    } else {
      out.back().push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
  }
  out.resize(8);
  return out;
}

class Source : public zul::TagSource {
public:
  std::vector<std::wstring> fields;
  int reads = 0;
  void GetFileInfo(const std::wstring&, std::wstring* title, int* lengthMs) override {
    ++reads;
    *title = fields[2];
    *lengthMs = static_cast<int>(fields[3].size()) * 1000 - 1000;
  }
  bool GetExtendedFileInfo(const std::wstring&, const char* name, std::wstring* value) override {
    std::string_view n = name;
    if (n == "title")
      *value = fields[2];
    else if (n == "artist")
      *value = fields[4];
    else if (n == "album")
      *value = fields[5];
    else if (n == "length")
      *value = fields[6];
    else
      return false;
    return true;
  }
  std::wstring ExtensionList() override { return L"MP3"; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Source source;
  source.fields = Parts(std::string_view(reinterpret_cast<const char*>(data), size));
  zul::SetTagSource(&source);
  const std::wstring& tmpl = source.fields[0];
  const std::wstring& path = source.fields[1];

  zul::CachedTag entry(path);
  zul::FormatEntry(entry, tmpl);
  // Without a "%" in the template nothing is replaced and nothing read.
  if (tmpl.find(L'%') == std::wstring::npos) {
    std::wstring expected = tmpl;
    zul::ReplaceAll(expected, L"\\\\", L"\\");
    Check(entry.GetFormatted() == expected);
  }
  if (tmpl.find(L'%') == std::wstring::npos) Check(source.reads == 0);

  zul::CachedTag current(path);
  zul::AlbumArtFinder finder = [](const std::wstring& folder) -> std::optional<std::wstring> {
    return folder + L"cover.jpg";
  };
  zul::FormatTooltipText(tmpl, current, finder);
  zul::FormatNowPlayingText(tmpl, current);
  zul::FormatMessengerText(tmpl, current, static_cast<int>(size) * 7);

  const std::wstring name = zul::FormatRenameName(tmpl, static_cast<int>(size), 1 + static_cast<int>(size % 30),
                                                  source.fields[4], source.fields[2], source.fields[5], path);
  for (wchar_t c : name) {
    Check(std::wstring_view(L"\\/:*?\"<>|").find(c) == std::wstring_view::npos && static_cast<uint32_t>(c) >= 0x20);
  }
  zul::SetTagSource(nullptr);
  return 0;
}
