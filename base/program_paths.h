#pragma once
// Where the program's files are: every file of its own is named after the
// program file and kept beside it, so one module path decides them all.
#include <string>
#include <string_view>

namespace zul {

struct ProgramPaths {
  std::wstring exe;           // the program file's full path
  std::wstring folder;        // up to and including the last separator
  std::wstring settingsFile;  // the program file's path with the extension "ini"
  std::wstring playlistFile;  // ... with the extension "m3u" (the last playlist)
  std::wstring pluginFolder;  // folder + "Plugins", no trailing separator

  // "<program without extension>_<language>.ini": X.exe and "French" give
  // X_French.ini in the same folder.
  std::wstring LanguageFile(std::wstring_view language) const;
};

// Only a dot in the file name starts the extension: "C:\my.apps\player" must
// not become "C:\my.ini", and a program file without an extension must not
// have its settings written into the program file itself.
ProgramPaths ProgramPathsFor(std::wstring exePath);

// The paths of the running program (its module file name). Win32 build only.
const ProgramPaths& CurrentProgramPaths();

}  // namespace zul
