#pragma once
// The settings file on disk.
//
// Reading goes through the private-profile functions, so values read exactly
// as plug-ins reading the same file see them. Writing never leaves a
// half-written file: the whole new text is written beside the file and then
// replaces it in one rename, so the file on disk is at every moment either the
// old or the new complete version. The text keeps the profile functions'
// format and encoding (ANSI, or UTF-16 when the file starts with its BOM).
//
// Threads: UI thread (saves happen at quit and after automation runs).
#include <string>
#include <vector>

#include "base/settings.h"

namespace zul {

class ProfileFileReader : public ProfileReader {
public:
  explicit ProfileFileReader(std::wstring path) : path_(std::move(path)) {}
  std::optional<std::wstring> Read(std::wstring_view section, std::wstring_view key) const override;

private:
  std::wstring path_;
};

// Applies the edits to the current file text and replaces the file. Returns
// false (and leaves the old file untouched) when it could not be written.
bool CommitProfileEdits(const std::wstring& path, const std::vector<ProfileEdit>& edits);

}  // namespace zul
