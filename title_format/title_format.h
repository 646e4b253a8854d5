#pragma once
// The title-formatting language: a format string and the fields of one file
// ("artist", "title", "tracknumber" ...) give a display title, as plug-ins
// ask for it with IPC_FORMATTITLE.
//
//   %name%       the field's value; counts as found when non-empty
//   'text'       literal text; $$ %% '' give $ % '
//   [...]        shown only when something inside found a field
//   $fn(a,b,...) one of 33 built-in functions (title_functions.h)
//
// Text is UTF-16 in and out: std::u16string has 16-bit units in both builds,
// while wchar_t is 32 bits on Linux. On Windows a std::u16string converts to
// std::wstring (or a WCHAR buffer) unit for unit. The IPC_FORMATTITLE caller
// converts the plug-in's ANSI format text and field values to UTF-16 and
// releases each value with the plug-in's free function right after its field
// callback has copied it.
//
// Formatting never fails: a fault in the format text replaces the result (or,
// inside a block or argument, that part of it) with a message:
//   "[SYNTAX ERROR IN FORMATTING STRING]"  unbalanced quote, %, (, ), [ or ],
//                                         or blocks/calls nested deeper than
//                                         kMaxNesting
//   "[UNKNOWN FUNCTION]"
//   "[INVALID $name SYNTAX]"               wrong argument count or unusable
//                                         arguments
//
// Characters are counted in code points; texts are cut at kMaxTextLength
// (title_text.h). Reentrant: no state outside the call.
#include <functional>
#include <string>
#include <string_view>

namespace zul {

// Returns the value of a field of the current file by name, or an empty text
// when the file has none (the two are treated alike). Called once per field
// reference, in format order.
using TitleFieldLookup = std::function<std::u16string(std::u16string_view name)>;

std::u16string FormatTitle(std::u16string_view format, const TitleFieldLookup& field);

namespace title_format {

// Blocks and function calls nest at most this deep; deeper nesting is a
// syntax error. Bounds the recursion, which runs on the UI thread's stack.
inline constexpr int kMaxNesting = 64;

}  // namespace title_format
}  // namespace zul
