#include "base/program_paths.h"

namespace zul {
namespace {

// The path without its extension; npos-safe for names without a dot.
std::wstring Stem(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  const size_t dot = path.rfind(L'.');
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

}  // namespace

ProgramPaths ProgramPathsFor(std::wstring exePath) {
  ProgramPaths p;
  const std::wstring stem = Stem(exePath);
  const size_t slash = exePath.find_last_of(L"\\/");
  p.folder = slash == std::wstring::npos ? std::wstring() : exePath.substr(0, slash + 1);
  p.settingsFile = stem + L".ini";
  p.playlistFile = stem + L".m3u";
  p.pluginFolder = p.folder + L"Plugins";
  p.exe = std::move(exePath);
  return p;
}

std::wstring ProgramPaths::LanguageFile(std::wstring_view language) const {
  std::wstring file = Stem(exe);
  file += L'_';
  file += language;
  file += L".ini";
  return file;
}

}  // namespace zul
