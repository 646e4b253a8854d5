#pragma once
// The text rules of language files, apart from the files themselves: the
// key of a text, the escapes a value is stored with, the language a file
// name names, and whether a translated message may stand in for the
// original where the message is a format.
#include <string>
#include <string_view>

namespace zul::translation {

// Values longer than this are cut when read; the translator's mode never
// writes more.
inline constexpr size_t kMaxValueChars = 255;

// "%d" of id, or "%dI%dJ%d" of id, item and menu index for an item that
// opens a sub-menu (menuIndex not -1).
std::wstring KeyFor(int id, int item, int menuIndex);

// A line feed is stored as the two characters "\n", a tab as "\t".
std::wstring Escape(std::wstring_view text);
// The reverse, and trailing white space removed.
std::wstring Unescape(std::wstring_view value);

// "X_French.ini" -> "French"; "X_Portuguese_BR.ini" -> "BR": the part after
// the last "_" and before the last ".". Empty when there is none.
std::wstring LanguageOfFile(std::wstring_view fileName);

// A translated message used as a printf format must ask for exactly the
// arguments the original asks for, in the same order; "%s%n" where the
// original had "%d" would read or write memory it was never given. False
// when the conversions differ (the caller then keeps the original).
bool SameConversions(std::wstring_view original, std::wstring_view translated);

}  // namespace zul::translation
