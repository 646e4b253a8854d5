#pragma once
// The few things the tag readers need from the platform: opening a file by a
// wide path, 64-bit seeking, and the ANSI code page. Windows opens UTF-16
// paths with _wfopen and converts through the system code page; the native
// build opens UTF-8 paths with fopen and treats the ANSI code page as
// Latin-1.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace zul::tags {

// Opens a file for binary reading; nullptr when it cannot be opened.
std::FILE* OpenBinaryFile(const std::wstring& path);
bool SeekFile(std::FILE* file, std::uint64_t offset);
std::optional<std::uint64_t> FileSizeOf(std::FILE* file);

std::wstring WideFromAnsi(std::string_view text);
// Characters the code page cannot represent become '?'.
std::string AnsiFromWide(std::wstring_view text);

}  // namespace zul::tags
