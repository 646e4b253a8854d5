#include "mpeg_input/tags/tag_cache.h"

#include <chrono>
#include <cstring>

#include "base/text_codec.h"
#include "mpeg_input/tags/tag_platform.h"
#include "mpeg_input/tags/tag_reader.h"
#include "mpeg_input/tags/tag_text.h"

namespace zul::tags {
namespace {

bool IsStreamLocation(std::wstring_view file) { return file.starts_with(L"http://") || file.starts_with(L"https://"); }

std::optional<std::wstring> FieldByName(const CTagCache::Entry& entry, std::wstring_view field) {
  struct Named {
    std::wstring_view name;
    TagField field;
  };
  static constexpr Named kNames[] = {
      {L"title", TagField::Title}, {L"artist", TagField::Artist}, {L"comment", TagField::Comment},
      {L"album", TagField::Album}, {L"year", TagField::Year},     {L"genre", TagField::Genre},
      {L"track", TagField::Track},
  };
  if (EqualNoCase(field, L"length")) return std::to_wstring(entry.lengthMs);
  for (const Named& n : kNames)
    if (EqualNoCase(field, n.name)) return entry.fields[n.field];
  return std::nullopt;
}

}  // namespace

CTagCache::CTagCache(LengthScan scan, Clock clock, Opener open)
    : scan_(std::move(scan)), clock_(std::move(clock)), open_(std::move(open)) {}

std::uint32_t CTagCache::MonotonicMilliseconds() {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<std::uint32_t>(ms.count());
}

void CTagCache::Load(std::wstring_view file, int tagPriority) {
  std::uint32_t now = clock_();
  // Unsigned difference: correct across the clock's wrap-around.
  // The priority is part of the key: a record read in another order is not
  // the answer to this question. A file without a frame or without tags is
  // held like any other: each of the questions about it would otherwise
  // open and scan it again.
  if (held_ && entry_.fields[TagField::FilePath] == file && tagPriority_ == tagPriority &&
      now - lastUse_ <= kLifetimeMs) {
    lastUse_ = now;
    return;
  }
  // From here on the old record is gone, whatever this read finds: it can
  // never answer for the previous file with the fields of this one.
  held_ = false;
  entry_.fields.Clear();
  entry_.lengthMs = 0;
  lengthMs_.reset();
  tagged_ = false;
  lastUse_ = 0;
  // A stream location is not read, nor a file that cannot be opened; both
  // are asked again next time (a file may appear).
  if (IsStreamLocation(file)) return;
  std::wstring path(file);
  std::unique_ptr<CByteSource> source = open_(path);
  if (!source) return;
  lengthMs_ = scan_(path, *source);
  entry_.fields[TagField::FilePath] = path;
  if (lengthMs_) {
    entry_.lengthMs = *lengthMs_;
    tagged_ = ReadTagFields(*source, tagPriority, entry_.fields) != TagKind::None;
    if (!tagged_) {
      entry_.fields.Clear();
      entry_.fields[TagField::FilePath] = path;
    }
  }
  held_ = true;
  tagPriority_ = tagPriority;
  lastUse_ = clock_();
}

std::optional<std::wstring> CTagCache::Query(std::wstring_view file, std::wstring_view field, int tagPriority) {
  std::lock_guard lock(mutex_);
  Load(file, tagPriority);
  if (!Tagged()) return std::nullopt;
  return FieldByName(entry_, field);
}

std::optional<CTagCache::Entry> CTagCache::Lookup(std::wstring_view file, int tagPriority) {
  std::lock_guard lock(mutex_);
  Load(file, tagPriority);
  if (!Tagged()) return std::nullopt;
  return entry_;
}

CTagCache::Description CTagCache::Describe(std::wstring_view file, int tagPriority) {
  std::lock_guard lock(mutex_);
  Load(file, tagPriority);
  Description d;
  if (!held_) return d;
  d.lengthMs = lengthMs_;
  if (Tagged()) d.fields = entry_.fields;
  return d;
}

void CTagCache::Clear() {
  std::lock_guard lock(mutex_);
  held_ = false;
  lengthMs_.reset();
  tagged_ = false;
  entry_ = Entry{};
  lastUse_ = 0;
}

int CTagCache::GetExtendedFileInfoW(const wchar_t* file, const wchar_t* field, wchar_t* buffer, int size,
                                    int tagPriority) {
  if (!file || !field || !buffer || size <= 0) return 0;
  std::optional<std::wstring> value = Query(file, field, tagPriority);
  if (!value) return 0;
  CutToUtf16Units(*value, static_cast<std::size_t>(size) - 1);
  std::size_t n = std::min(value->size(), static_cast<std::size_t>(size) - 1);
  std::wmemcpy(buffer, value->data(), n);
  buffer[n] = L'\0';
  return 1;
}

int CTagCache::GetExtendedFileInfoA(const char* file, const char* field, char* buffer, int size, int tagPriority) {
  if (!file || !field || !buffer || size <= 0) return 0;
  std::optional<std::wstring> value = Query(WideFromAnsi(file), WideFromAnsi(field), tagPriority);
  if (!value) return 0;
  std::string narrow = AnsiFromWide(*value);
  std::size_t n = std::min(narrow.size(), static_cast<std::size_t>(size) - 1);
  std::memcpy(buffer, narrow.data(), n);
  buffer[n] = '\0';
  return 1;
}

}  // namespace zul::tags
