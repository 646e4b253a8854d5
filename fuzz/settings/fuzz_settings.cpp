// Fuzzes the settings file as the program reads it at start-up and writes it
// at the quit: any text is read into the settings, saved the way the quit
// sequence saves them ("Preferences" emptied, then every key), and read
// again.
//
// The first byte picks how the rest becomes text: one byte per character
// (where high bytes expand to key names, so the fuzzer reaches every key
// without guessing them), or raw UTF-16LE code units.
//
// Besides memory safety and time (a value that makes the reader loop is a
// hang) it checks: a second save writes exactly what the first one wrote,
// and the numbers with a range keep to it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/profile_text.h"
#include "base/settings.h"

namespace {

constexpr std::wstring_view kKeys[] = {
    L"[Preferences]\n",
    L"[MenuXP]\n",
    L"CurrentSkinSel=",
    L"CurrentSkin=",
    L"CurrentSkin1=",
    L"AutPeriod=",
    L"Gap=",
    L"AutDirsCnt=",
    L"AutDir1=",
    L"EQ0=",
    L"EQ1=",
    L"dllInName0=",
    L"Clicks1=",
    L"TPC=",
    L"GradientWidth=",
    L"GradientStart=",
    L"border_color=",
    L"PlayKey=",
    L"PlayMod=",
    L"wmTitle=",
    L"Recent0=",
    L"Console=",
    L"CurrentInPlaylist=",
    L"2147483647",
    L"-2147483648",
    L"0x",
    L"NONE",
    L"\"",
};
constexpr size_t kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);

std::wstring MakeText(const uint8_t* data, size_t size) {
  std::wstring text;
  if (size == 0) return text;
  if (data[0] & 1) {
    for (size_t i = 1; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    return text;
  }
  for (size_t i = 1; i < size; ++i) {
    const uint8_t b = data[i];
    if (b >= 0x80 && b < 0x80 + kKeyCount)
      text += kKeys[b - 0x80];
    else
      text.push_back(static_cast<wchar_t>(b));
  }
  return text;
}

class TextReader : public zul::ProfileReader {
public:
  explicit TextReader(const zul::ProfileText& text) : text_(text) {}
  std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const override {
    return text_.Get(section, key);
  }

private:
  const zul::ProfileText& text_;
};

// The quit sequence's save: "Preferences" emptied, every key written.
std::vector<zul::ProfileEdit> SaveInto(zul::ProfileText& file, const zul::Settings& s) {
  std::vector<zul::ProfileEdit> edits;
  zul::AppendSaveAll(s, edits);
  zul::AppendStartupWindowKeys(s, edits);
  file.ClearSection(zul::kPreferences);
  for (const zul::ProfileEdit& e : edits) file.Set(e.section, e.key, e.value);
  return edits;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

bool SameEdits(const std::vector<zul::ProfileEdit>& a, const std::vector<zul::ProfileEdit>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].section != b[i].section || a[i].key != b[i].key || a[i].value != b[i].value) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zul::ProfileText file(MakeText(data, size));
  zul::Settings first;
  zul::LoadSettings(TextReader(file), first);

  Check(first.autPeriod >= 1 && first.autPeriod <= 1440);
  Check(first.gap >= 0 && first.gap <= 10000);
  Check(first.tracksPerColumn >= 1 && first.tracksPerColumn <= 100);
  Check(!first.skins.empty() && first.currentSkinSel >= 0 &&
        first.currentSkinSel < static_cast<int>(first.skins.size()));
  Check(first.autDirs.size() <= 256);
  for (int c : first.clicks) Check(c >= 0 && c <= 11);

  const std::vector<zul::ProfileEdit> saved = SaveInto(file, first);
  zul::ProfileText reread(file.Text());
  zul::Settings second;
  zul::LoadSettings(TextReader(reread), second);
  const std::vector<zul::ProfileEdit> savedAgain = SaveInto(reread, second);
  Check(SameEdits(saved, savedAgain));
  return 0;
}
