#include <cstdlib>

#include "mpeg_input/tags/format_ex.h"
#include "mpeg_input/tags/tag_text.h"

// First byte: the title buffer size; the rest: the template as UTF-8.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zul::tags;
  if (size < 1) return 0;
  std::size_t maxUnits = data[0];
  std::wstring format = DecodeUtf8(std::span(data + 1, size - 1), 4096);
  CTagFields fields;
  fields[TagField::FilePath] = L"C:\\Music\\Band\\01 Song.mp3";
  fields[TagField::Title] = L"Song";
  fields[TagField::Album] = std::wstring(300, L'a');
  fields[TagField::Track] = L"3/12";
  AppendCodePoint(fields[TagField::Genre], U'\U0001F3B5');
  std::wstring title = FormatEx(format, fields, maxUnits);
  if (Utf16Units(title) > maxUnits) std::abort();
  return 0;
}
