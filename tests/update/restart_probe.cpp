// Stands in for the new program in update archives: started, it writes its
// command line to "restarted.txt" beside itself and ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR args, int) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring marker(path);
  marker = marker.substr(0, marker.find_last_of(L'\\') + 1) + L"restarted.txt";
  HANDLE f = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(f, args, static_cast<DWORD>(wcslen(args) * sizeof(wchar_t)), &written, nullptr);
  CloseHandle(f);
  return 0;
}
