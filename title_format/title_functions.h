#pragma once
// The 33 built-in functions of the title-formatting language ($if, $pad,
// $replace ...). The evaluator checks the argument count against the table;
// a function may still refuse its arguments ($filepart of a path without a
// folder), which the evaluator reports as "[INVALID $name SYNTAX]".
#include <cstddef>
#include <span>

#include "title_format/title_text.h"

namespace zul::title_format {

// An evaluated argument: its text and how many fields with a value it used.
struct Argument {
  Text text;
  size_t found = 0;
};

// Calls take at most this many arguments; the rest of a longer list is
// ignored without being evaluated.
inline constexpr size_t kMaxArguments = 64;

struct TitleFunction {
  TextView name;  // lower case; calls match it without regard to case
  size_t minArgs;
  size_t maxArgs;
  // Writes the result to *result (empty on entry); false when the arguments
  // are unusable.
  bool (*run)(std::span<const Argument> args, Text* result);
};

// The table entry whose name equals name without regard to ASCII case, or
// nullptr.
const TitleFunction* FindTitleFunction(TextView name);

}  // namespace zul::title_format
