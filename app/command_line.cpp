#include "app/command_line.h"

namespace zul {

CommandLine ParseCommandLine(const std::vector<std::wstring>& args) {
  CommandLine cl;
  for (const std::wstring& a : args) {
    if (a == L"-?")
      cl.showUsage = true;
    else if (a == L"-a")
      cl.add = true;
    else if (a == L"-x")
      cl.exit = true;
    else if (a == L"-restart")
      cl.restart = true;
    else if (!a.empty() && a[0] == L'-')
      continue;
    else if (cl.file.empty() && !a.empty())
      cl.file = a;
  }
  return cl;
}

}  // namespace zul
