// Starts replacing a file and stops halfway, so a test can kill it there:
//   playlist_write_child <path> <event name>
// Writes half of the new content, signals the event and waits forever.
#include <windows.h>

#include <string>

#include "playlist/win32/win32_file_system.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  zul::ReplacingFileWriter writer(argv[1]);
  if (!writer.Open()) return 3;
  const std::string half(256 * 1024, 'N');
  if (!writer.Write(half)) return 4;
  HANDLE halfway = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
  if (!halfway) return 5;
  SetEvent(halfway);
  Sleep(INFINITE);
  return 0;
}
