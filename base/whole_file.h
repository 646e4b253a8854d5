#pragma once
// Reading a whole file into memory, for the settings file and playlist files.
#include <string>

namespace zul {

// Reads the whole file at `path`, of at most `maxBytes`, into *bytes. False
// when it cannot be opened or read or is larger; GetLastError() then says
// why (ERROR_FILE_NOT_FOUND for a missing file, ERROR_FILE_TOO_LARGE).
bool ReadWholeFile(const std::wstring& path, unsigned long long maxBytes, std::string* bytes);

}  // namespace zul
