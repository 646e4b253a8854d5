#pragma once
// Input plug-ins' extension lists: the pairs of a FileExtensions member, the
// extension text built from them, matching a location against it, and the
// combined open-file filter and extension list of all input plug-ins.
//
// Everything here works on text already converted to wide characters (the
// plug-ins' ANSI bytes are converted by the caller) and needs no Win32.
//
// Threads: none of its own; pure functions.
#include <string>
#include <string_view>
#include <vector>

namespace zul::extensions {

// One pair of FileExtensions: "MP3;MP2" and "MPEG Audio Files (*.MP3;*.MP2)".
template <class Text>
struct BasicExtensionPair {
  Text extensions;
  Text description;
};
using RawExtensionPair = BasicExtensionPair<std::string>;  // bytes as the plug-in gave them
using ExtensionPair = BasicExtensionPair<std::wstring>;

// The longest extension text kept, in characters.
inline constexpr size_t kMaxExtensionText = 4999;

// Splits the bytes of a FileExtensions member (pairs of NUL-terminated
// strings ended by an empty extension list) into pairs. The bytes may end
// early: a missing description is empty and an unterminated string ends at
// the end of the bytes.
std::vector<RawExtensionPair> SplitExtensionPairs(std::string_view bytes);

// Each pair's extension list followed by ";": "MP3;MP2;MP1;RMP;m3u;pls;",
// cut to kMaxExtensionText characters.
std::wstring ExtensionText(const std::vector<ExtensionPair>& pairs);

// The non-empty pieces of an extension text split at ";".
std::vector<std::wstring> ExtensionPieces(std::wstring_view text);

// True when the location ends with one of the pieces, ignoring the case of
// ASCII letters. No dot is required: "mp3" matches "a.mp3" and "amp3".
bool MatchesExtensionText(std::wstring_view location, std::wstring_view extensionText);

// Locations containing "://" are streams: they are matched by the plug-ins'
// IsOurFile, never by extension.
bool IsStreamLocation(std::wstring_view location);

// The open-file dialog filter from every input plug-in's pairs, in list
// order, with "|" between descriptions and patterns:
// "All supported files|*.MP3;*.m3u;|MPEG Audio Files (*.MP3)|*.MP3|...|".
std::wstring BuildOpenFilter(const std::vector<std::vector<ExtensionPair>>& plugins);

// Every plug-in's extension text in list order, each ending with ";".
std::wstring BuildExtensionList(const std::vector<std::wstring>& extensionTexts);

}  // namespace zul::extensions
