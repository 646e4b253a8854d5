#include "mpeg_input/tags/format_ex.h"

#include <vector>

#include "base/text_codec.h"
#include "mpeg_input/tags/tag_text.h"

namespace zul::tags {
namespace {

constexpr std::size_t kMaxDepth = 8;

struct NamedField {
  std::wstring_view name;
  TagField field;
};

constexpr NamedField kNamedFields[] = {
    {L"title", TagField::Title},         {L"artist", TagField::Artist},
    {L"album", TagField::Album},         {L"year", TagField::Year},
    {L"comment", TagField::Comment},     {L"genre", TagField::Genre},
    {L"composer", TagField::Composer},   {L"origartist", TagField::OriginalArtist},
    {L"copyright", TagField::Copyright}, {L"encoder", TagField::Encoder},
};

// "3", "3/12" and " 03" all give "03"; text without a leading number gives
// nothing.
std::wstring TrackNumber(std::wstring_view track) {
  std::size_t i = 0;
  while (i < track.size() && track[i] == L' ') ++i;
  std::size_t first = i;
  while (i < track.size() && track[i] >= L'0' && track[i] <= L'9') ++i;
  if (i == first) return {};
  std::wstring_view digits = track.substr(first, i - first);
  while (digits.size() > 2 && digits.front() == L'0') digits.remove_prefix(1);
  std::wstring out(digits);
  if (out.size() < 2) out.insert(0, 2 - out.size(), L'0');
  return out;
}

std::wstring FieldValue(std::wstring_view name, const CTagFields& fields) {
  for (const NamedField& f : kNamedFields)
    if (EqualNoCase(name, f.name)) return fields[f.field];
  if (EqualNoCase(name, L"track")) return TrackNumber(fields[TagField::Track]);
  if (EqualNoCase(name, L"filename")) return SplitPath(fields[TagField::FilePath]).name;
  if (EqualNoCase(name, L"filepath")) return SplitPath(fields[TagField::FilePath]).folder;
  if (EqualNoCase(name, L"fileext")) return SplitPath(fields[TagField::FilePath]).ext;
  return {};
}

struct Block {
  std::size_t start;      // output length when the block opened
  bool inserted = false;  // a field inside inserted text
};

// Closes the innermost block: its text stays only if a field inserted some,
// and then the enclosing block counts as having inserted text too.
void CloseBlock(std::vector<Block>& blocks, std::wstring& out) {
  Block b = blocks.back();
  blocks.pop_back();
  if (!b.inserted) {
    out.resize(b.start);
  } else if (!blocks.empty()) {
    blocks.back().inserted = true;
  }
}

}  // namespace

PathParts SplitPath(std::wstring_view path) {
  PathParts parts;
  std::size_t sep = path.find_last_of(L"\\/");
  if (sep == std::wstring_view::npos && path.size() >= 2 && path[1] == L':') sep = 1;
  std::wstring_view file = path;
  if (sep != std::wstring_view::npos) {
    parts.folder = path.substr(0, sep + 1);
    file = path.substr(sep + 1);
  }
  std::size_t dot = file.rfind(L'.');
  if (dot == std::wstring_view::npos) {
    parts.name = file;
  } else {
    parts.name = file.substr(0, dot);
    parts.ext = file.substr(dot + 1);
  }
  return parts;
}

std::wstring FormatEx(std::wstring_view format, const CTagFields& fields, std::size_t maxUnits) {
  std::wstring out;
  std::vector<Block> blocks;
  std::size_t i = 0;
  while (i < format.size()) {
    // Text outside every block is final: once it fills the title, the rest
    // of the template cannot change it.
    // (A wide character is at least one UTF-16 unit, so the length in
    // characters is enough to tell.)
    if (blocks.empty() && out.size() >= maxUnits) break;
    wchar_t c = format[i];
    if (c == L'%') {
      if (i + 1 < format.size() && (format[i + 1] == L'%' || format[i + 1] == L'[' || format[i + 1] == L']')) {
        out.push_back(format[i + 1]);
        i += 2;
        continue;
      }
      std::size_t close = format.find(L'%', i + 1);
      if (close == std::wstring_view::npos) {
        out.push_back(c);
        ++i;
        continue;
      }
      std::wstring value = FieldValue(format.substr(i + 1, close - i - 1), fields);
      if (!value.empty()) {
        out += value;
        if (!blocks.empty()) blocks.back().inserted = true;
      }
      i = close + 1;
    } else if (c == L'[') {
      if (blocks.size() == kMaxDepth) break;
      blocks.push_back(Block{out.size()});
      ++i;
    } else if (c == L']') {
      if (blocks.empty()) break;
      CloseBlock(blocks, out);
      ++i;
    } else {
      out.push_back(c);
      ++i;
    }
  }
  // Blocks still open when the template ends close there.
  while (!blocks.empty()) CloseBlock(blocks, out);
  CutToUtf16Units(out, maxUnits);
  return out;
}

}  // namespace zul::tags
