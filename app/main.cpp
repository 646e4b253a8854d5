#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/quorvel_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> args;
  for (int i = 1; argv && i < argc; ++i) args.emplace_back(argv[i]);
  if (argv) LocalFree(argv);
  zul::CQuorvelApp app;
  return app.Run(args);
}
