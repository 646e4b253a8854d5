#pragma once
// The application object: settings path, the single-instance rule, the
// windows, the message loop and the order of shutdown.
//
// Threads: UI thread.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "base/win32_handles.h"

namespace zul {

class CMainWnd;
class CWAEmuWnd;

class CQuorvelApp {
public:
  CQuorvelApp();
  ~CQuorvelApp();

  // Runs the program; returns the process exit code.
  int Run(const std::vector<std::wstring>& args);

private:
  // Hands the command line to a running instance (or waits for it to go
  // with "-restart"); true when this process is to end now.
  bool HandOverOrWait(const CommandLine& cl, bool mutexExisted);
  int MessageLoop();
  void ProcessEnd();

  UniqueHandle mutex_;
  ULONG_PTR gdiplusToken_ = 0;
  bool gdiplusStarted_ = false;
  bool appClassRegistered_ = false;
  bool winampClassRegistered_ = false;
  std::unique_ptr<CMainWnd> mainWnd_;
  std::unique_ptr<CWAEmuWnd> winampWnd_;
};

}  // namespace zul
