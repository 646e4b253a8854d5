#include "playlist/core/cached_tag.h"

#include <cstdint>

#include "base/text_codec.h"
#include "playlist/core/tag_source.h"

namespace zul {
namespace {

int SecondsFromMs(int64_t ms) {
  if (ms < 0) return -1;
  int64_t s = ms / 1000;
  return s > INT32_MAX ? INT32_MAX : static_cast<int>(s);
}

}  // namespace

void CachedTag::SetPath(std::wstring_view path) {
  path_ = ToU16(path);
  split_ = SplitPath<char16_t>(path_);
}
void CachedTag::SetTitle(std::wstring_view text) { title_ = ToU16(text); }
void CachedTag::SetArtist(std::wstring_view text) { artist_ = ToU16(text); }
void CachedTag::SetAlbum(std::wstring_view text) { album_ = ToU16(text); }
void CachedTag::SetComment(std::wstring_view text) { comment_ = ToU16(text); }
void CachedTag::SetYear(std::wstring_view text) { year_ = ToU16(text); }
void CachedTag::SetFormatted(std::wstring_view text) { formatted_ = ToU16(text); }

void CachedTag::CopyTagsFrom(const CachedTag& other) {
  length = other.length;
  infoRead = other.infoRead;
  artist_ = other.artist_;
  album_ = other.album_;
  comment_ = other.comment_;
  title_ = other.title_;
  year_ = other.year_;
}

void CachedTag::ReadTags(bool force) {
  // An empty entry stands for "no current entry": there is nothing to ask.
  if ((infoRead && !force) || NoTagReads::Active() || path_.empty()) return;
  const TagSourceUse source;
  const std::wstring path = GetPath();

  std::wstring basicTitle;
  int lengthMs = -1;
  source->GetFileInfo(path, &basicTitle, &lengthMs);
  title_ = ToU16(basicTitle);
  // A negative "unknown" length must not be divided as unsigned: it would
  // become a length of 4294967 seconds.
  length = SecondsFromMs(lengthMs);

  // Old plug-ins answer no extended fields at all; the basic length is then
  // still the best there is, so it is only given up when it is missing too.
  std::wstring text;
  if (!source->GetExtendedFileInfo(path, "length", &text) || text.empty()) {
    if (length <= 0) length = -1;
  } else if (int64_t ms = ParseLeadingInt(text); ms != 0) {
    length = SecondsFromMs(ms);
  }

  text.clear();
  if (source->GetExtendedFileInfo(path, "title", &text) && !text.empty()) {
    title_ = ToU16(text);
  } else {
    title_ = ToU16(GetDefaultTitle());
  }

  auto field = [&](const char* name, std::u16string* out) {
    std::wstring value;
    out->clear();
    if (source->GetExtendedFileInfo(path, name, &value)) *out = ToU16(value);
  };
  field("artist", &artist_);
  field("comment", &comment_);
  field("album", &album_);
  field("year", &year_);
  infoRead = true;
}

std::wstring CachedTag::GetArtist(bool cachedOnly) {
  if (cachedOnly && !infoRead) return {};
  ReadTags(false);
  return FromU16(artist_);
}

std::wstring CachedTag::GetTitle(bool cachedOnly) {
  if (!title_.empty()) return FromU16(title_);
  if (!cachedOnly) ReadTags(false);
  // Reads suppressed or not wanted: the file name stands in.
  return title_.empty() ? GetDefaultTitle() : FromU16(title_);
}

std::wstring CachedTag::GetAlbum(bool cachedOnly) {
  if (!cachedOnly) ReadTags(false);
  return FromU16(album_);
}

std::wstring CachedTag::GetYear(bool cachedOnly) {
  if (!cachedOnly) ReadTags(false);
  return FromU16(year_);
}

std::wstring CachedTag::GetComment(bool cachedOnly) {
  if (!cachedOnly) ReadTags(false);
  return FromU16(comment_);
}

std::wstring CachedTag::GetLengthText(bool cachedOnly) {
  if (cachedOnly && !infoRead && length == 0) return {};
  if (!cachedOnly) ReadTags(false);
  return FormatLengthText(length);
}

std::wstring CachedTag::GetDisplayTitle(int mode, bool cachedOnly) {
  switch (mode) {
    case kDisplayFileName:
      return GetFileName();
    case kDisplayArtistTitle: {
      std::wstring artist = GetArtist(cachedOnly);
      if (artist.empty()) return GetTitle(cachedOnly);
      return artist + L" - " + GetTitle(cachedOnly);
    }
    case kDisplayTitle:
      return GetTitle(cachedOnly);
    default:
      return {};
  }
}

bool CachedTag::IsUrl() const { return zul::IsUrl<char16_t>(path_); }

std::wstring CachedTag::GetFileName() const {
  if (IsUrl()) return GetPath();
  std::u16string_view p = path_;
  return FromU16(p.substr(split_.dirEnd));
}

std::wstring CachedTag::GetDrive() const {
  if (IsUrl()) return {};
  return FromU16(split_.Drive<char16_t>(path_));
}

std::wstring CachedTag::GetFolder() const {
  if (IsUrl()) return {};
  return FromU16(split_.Dir<char16_t>(path_));
}

std::wstring CachedTag::GetExtension() const { return FromU16(split_.Ext<char16_t>(path_)); }
std::wstring CachedTag::GetPath() const { return FromU16(path_); }
std::wstring CachedTag::GetFormatted() const { return FromU16(formatted_); }

std::wstring CachedTag::GetDefaultTitle() const {
  if (IsUrl()) return GetPath();
  return FromU16(split_.Name<char16_t>(path_));
}

std::wstring FormatLengthText(int seconds) {
  // Unknown lengths (-1) show nothing rather than " 00:-1".
  if (seconds <= 0) return {};
  return L" " + TwoDigits(seconds / 60) + L":" + TwoDigits(seconds % 60);
}

}  // namespace zul
