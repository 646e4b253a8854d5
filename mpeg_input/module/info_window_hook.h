#pragma once
// Where the MPEG input's information box and its track starts reach the MP3
// information window, which sits above the input in the program: the shell
// installs the two functions at start-up. Until then (and in programs that
// have no such window) a file has no information box.
//
// Threads: UI thread (InfoBox and Play run there).
#include <string>

namespace zul {

struct InfoWindowHooks {
  void (*open)(const std::wstring& path) = nullptr;    // the information box for a local file
  void (*follow)(const std::wstring& path) = nullptr;  // a local file starts playing
};

void SetInfoWindowHooks(const InfoWindowHooks& hooks);

}  // namespace zul
