// Fuzzes the title-formatting language with format texts from plug-ins.
//
// The first byte picks how the rest becomes a format text: raw UTF-16LE code
// units (any surrogate mix), or one byte per character where high bytes
// expand to "$function(" and field tokens, so that the fuzzer reaches deep
// into calls without having to guess 33 names.
//
// Besides memory safety it checks: the output stays under the length limit,
// formatting is repeatable, text without special characters is copied
// unchanged, and quoting a text makes it literal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "title_format/title_format.h"
#include "title_format/title_text.h"

namespace {

constexpr std::u16string_view kFunctions[] = {
    u"if",      u"if2",     u"upper",    u"lower",    u"pad",       u"cut",     u"padcut", u"abbr", u"caps",
    u"caps2",   u"longest", u"shortest", u"iflonger", u"ifgreater", u"num",     u"dec",    u"hex",  u"strchr",
    u"strlchr", u"strrchr", u"strstr",   u"substr",   u"len",       u"add",     u"sub",    u"mul",  u"div",
    u"mod",     u"min",     u"max",      u"replace",  u"filepart",  u"fileext",
};
constexpr size_t kFunctionCount = sizeof(kFunctions) / sizeof(kFunctions[0]);

constexpr std::u16string_view kFields[] = {u"%artist%", u"%album%", u"%missing%", u"%long%",
                                           u"%emoji%",  u"%lone%",  u"%path%",    u"%num%"};

std::u16string FieldValue(std::u16string_view name) {
  if (name == u"artist") return u"Some Artist";
  if (name == u"long") return std::u16string(300, u'x') + u"'[$%,()]";
  if (name == u"emoji") return u"\U0001F600 Dj\u00E9 \u03A3";
  if (name == u"lone") return {char16_t{0xDC00}, u'a', char16_t{0xD800}};
  if (name == u"path") return u"C:\\My.Music\\Album\\01 - Song.mp3";
  if (name == u"num") return u"-2147483648";
  return {};  // "album", "missing" and anything else: no value
}

std::u16string MakeFormat(const uint8_t* data, size_t size) {
  std::u16string format;
  if (size == 0) return format;
  if (data[0] & 1) {
    for (size_t i = 1; i + 1 < size; i += 2) format.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    return format;
  }
  for (size_t i = 1; i < size; ++i) {
    uint8_t b = data[i];
    if (b >= 0x80 && b < 0x80 + kFunctionCount) {
      format += u"$";
      format += kFunctions[b - 0x80];
      format += u"(";
    } else if (b >= 0xC0 && b < 0xC8) {
      format += kFields[b - 0xC0];
    } else {
      format.push_back(b);
    }
  }
  return format;
}

bool HasSpecial(std::u16string_view s) { return s.find_first_of(u"$%'[]") != std::u16string_view::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string format = MakeFormat(data, size);
  const zul::TitleFieldLookup lookup = FieldValue;

  const std::u16string out = zul::FormatTitle(format, lookup);
  if (zul::title_format::Decode(out).size() > zul::title_format::kMaxTextLength) abort();
  if (zul::FormatTitle(format, lookup) != out) abort();

  if (!HasSpecial(format)) {
    std::u16string expected =
        zul::title_format::Encode(zul::title_format::Decode(format).substr(0, zul::title_format::kMaxTextLength));
    if (out != expected) abort();
  }

  std::u16string plain = format;
  std::erase(plain, u'\'');
  // An empty text would make "''", the escaped quote.
  if (!plain.empty() && zul::title_format::Decode(plain).size() <= zul::title_format::kMaxTextLength &&
      zul::FormatTitle(u"'" + plain + u"'", lookup) != plain)
    abort();
  return 0;
}
