#pragma once
// The program's command line: "-a", "-x", "-restart", "-?" and one path.
#include <string>
#include <vector>

namespace zul {

struct CommandLine {
  bool showUsage = false;  // "-?"
  bool add = false;        // "-a"
  bool exit = false;       // "-x"
  bool restart = false;    // "-restart"
  std::wstring file;       // the first argument that is not an option
};

// Arguments after the program name; options compare case-sensitively, other
// "-" arguments are ignored, later file arguments too.
CommandLine ParseCommandLine(const std::vector<std::wstring>& args);

inline constexpr wchar_t kUsageText[] = L"ZUL command line :\n -a : Add a file/directory/playlist\n -x : Exit ZUL";

}  // namespace zul
