#pragma once
// One playlist entry: its path (a file or a stream URL), the path's parts and
// the tag texts read from the input plug-in host on first use.
//
// Threads: a CachedTag is a plain value with no lock of its own. Entries in
// the playlist are only touched under the playlist lock (PlaylistManager);
// everyone else works on copies. The accessors that read tags call the tag
// source (tag_source.h) and must not run under the playlist lock.
#include <string>
#include <string_view>

#include "playlist/core/path_parts.h"

namespace zul {

enum DisplayMode { kDisplayTitle = 0, kDisplayArtistTitle = 1, kDisplayFileName = 2 };

class CachedTag {
public:
  CachedTag() = default;
  explicit CachedTag(std::wstring_view path) { SetPath(path); }

  // 0: no length yet; -1: the plug-in gave no usable length; else seconds.
  int length = 0;
  bool infoRead = false;

  void SetPath(std::wstring_view path);
  void SetTitle(std::wstring_view text);
  void SetArtist(std::wstring_view text);
  void SetAlbum(std::wstring_view text);
  void SetComment(std::wstring_view text);
  void SetYear(std::wstring_view text);
  void SetFormatted(std::wstring_view text);

  // Fills the tag fields from the tag source; nothing when they are already
  // read and force is false.
  void ReadTags(bool force);

  // Accessors that read tags first unless cachedOnly is set or they are read.
  std::wstring GetArtist(bool cachedOnly = false);
  // A title already present (one from a playlist line) is kept unread.
  std::wstring GetTitle(bool cachedOnly = false);
  std::wstring GetAlbum(bool cachedOnly = false);
  std::wstring GetYear(bool cachedOnly = false);
  std::wstring GetComment(bool cachedOnly = false);
  // " mm:ss" with minutes unbounded; empty for no length or an unusable one.
  std::wstring GetLengthText(bool cachedOnly = false);
  std::wstring GetDisplayTitle(int mode, bool cachedOnly);

  // Path parts, never reading.
  std::wstring GetFileName() const;  // name and extension; a URL whole
  std::wstring GetDrive() const;     // "C:"; empty for URLs and UNC paths
  std::wstring GetFolder() const;    // "\Music\"; empty for a URL
  std::wstring GetExtension() const;
  std::wstring GetPath() const;
  std::wstring GetDefaultTitle() const;  // name without extension; a URL whole
  std::wstring GetFormatted() const;
  bool IsUrl() const;
  bool HasTitle() const { return !title_.empty(); }

  // Without conversion, for comparisons in tight loops.
  const std::u16string& Path16() const { return path_; }
  const std::u16string& Formatted16() const { return formatted_; }

  // Copies the tag fields (not path nor formatted text) from another entry.
  void CopyTagsFrom(const CachedTag& other);

private:
  std::u16string formatted_;
  std::u16string artist_;
  std::u16string album_;
  std::u16string comment_;
  std::u16string path_;
  std::u16string title_;
  std::u16string year_;
  PathSplit split_;
};

// " %02d:%02d" of whole minutes and seconds; empty for 0 and for negatives.
std::wstring FormatLengthText(int seconds);

}  // namespace zul
