#include "title_format/title_format.h"

#include <vector>

#include "title_format/title_functions.h"
#include "title_format/title_text.h"

namespace zul {
namespace title_format {
namespace {

constexpr TextView kSyntaxError = U"[SYNTAX ERROR IN FORMATTING STRING]";
constexpr TextView kUnknownFunction = U"[UNKNOWN FUNCTION]";
constexpr TextView kInternalError = U"internal error";

enum class Scan { kFound, kEnd, kUnbalanced };

// Finds the first delimiter at nesting level zero from `from` on. Quoted text
// is skipped; "(" ")" and "[" "]" are counted separately. kEnd means the text
// ended with everything balanced; a closer without a partner or an
// unterminated quote is kUnbalanced.
Scan ScanTo(TextView f, size_t from, char32_t delimiter, size_t* pos) {
  int parens = 0, brackets = 0;
  for (size_t i = from; i < f.size(); ++i) {
    char32_t c = f[i];
    if (parens == 0 && brackets == 0 && c == delimiter) {
      *pos = i;
      return Scan::kFound;
    }
    if (c == U'\'') {
      i = f.find(U'\'', i + 1);
      if (i == TextView::npos) return Scan::kUnbalanced;
    } else if (c == U'(') {
      ++parens;
    } else if (c == U')') {
      if (--parens < 0) return Scan::kUnbalanced;
    } else if (c == U'[') {
      ++brackets;
    } else if (c == U']') {
      if (--brackets < 0) return Scan::kUnbalanced;
    }
  }
  return parens == 0 && brackets == 0 ? Scan::kEnd : Scan::kUnbalanced;
}

// Splits an argument list (the text between the call's parentheses) at the
// commas of level zero. "()" has no arguments; "(,)" has two empty ones.
bool SplitArguments(TextView list, std::vector<TextView>* args) {
  if (list.empty()) return true;
  for (size_t start = 0;;) {
    size_t comma = 0;
    switch (ScanTo(list, start, U',', &comma)) {
      case Scan::kFound:
        args->push_back(list.substr(start, comma - start));
        start = comma + 1;
        break;
      case Scan::kEnd:
        args->push_back(list.substr(start));
        return true;
      case Scan::kUnbalanced:
        return false;
    }
  }
}

class Evaluator {
public:
  Evaluator(const TitleFieldLookup& field, int depth) : field_(field), depth_(depth) {}

  void Run(TextView f);

  Text text;
  size_t found = 0;

private:
  void Fail(TextView message) {
    text.assign(message);
    ++found;
  }
  void AppendField(TextView name);
  void AppendBlock(TextView inner);
  bool Call(TextView name, TextView list);

  const TitleFieldLookup& field_;
  int depth_;
};

void Evaluator::Run(TextView f) {
  if (depth_ > kMaxNesting) return Fail(kSyntaxError);
  for (size_t i = 0; i < f.size();) {
    char32_t c = f[i];
    if ((c == U'$' || c == U'%' || c == U'\'') && i + 1 < f.size() && f[i + 1] == c) {
      AppendCapped(text, c);
      i += 2;
      continue;
    }
    size_t close = 0;
    switch (c) {
      case U'\'':
        close = f.find(U'\'', i + 1);
        if (close == TextView::npos) return Fail(kSyntaxError);
        AppendCapped(text, f.substr(i + 1, close - i - 1));
        break;
      case U'%':
        close = f.find(U'%', i + 1);
        if (close == TextView::npos) return Fail(kSyntaxError);
        AppendField(f.substr(i + 1, close - i - 1));
        break;
      case U'[':
        if (ScanTo(f, i + 1, U']', &close) != Scan::kFound) return Fail(kSyntaxError);
        AppendBlock(f.substr(i + 1, close - i - 1));
        break;
      case U']':
        return Fail(kSyntaxError);
      case U'$': {
        size_t open = f.find(U'(', i + 1);
        if (open == TextView::npos || ScanTo(f, open + 1, U')', &close) != Scan::kFound) return Fail(kSyntaxError);
        if (!Call(f.substr(i + 1, open - i - 1), f.substr(open + 1, close - open - 1))) return;
        break;
      }
      default:
        AppendCapped(text, c);
        close = i;
        break;
    }
    i = close + 1;
  }
}

void Evaluator::AppendField(TextView name) {
  if (!field_) return;
  std::u16string value = field_(Encode(name));
  if (value.empty()) return;
  AppendCapped(text, Decode(value));
  ++found;
}

void Evaluator::AppendBlock(TextView inner) {
  Evaluator block(field_, depth_ + 1);
  block.Run(inner);
  if (block.found == 0) return;
  AppendCapped(text, block.text);
  found += block.found;
}

// Returns false after a failure, which ends the evaluation.
bool Evaluator::Call(TextView name, TextView list) {
  std::vector<TextView> parts;
  if (!SplitArguments(list, &parts)) {
    Fail(kInternalError);  // cannot happen: the list was matched as balanced
    return false;
  }
  const TitleFunction* fn = FindTitleFunction(name);
  if (!fn) {
    Fail(kUnknownFunction);
    return false;
  }
  if (parts.size() > kMaxArguments) parts.resize(kMaxArguments);
  auto failInvalid = [&] { Fail(Text(U"[INVALID $").append(fn->name).append(U" SYNTAX]")); };
  if (parts.size() < fn->minArgs || parts.size() > fn->maxArgs) {
    failInvalid();
    return false;
  }
  // Fields found in any argument count for the enclosing block, so that
  // "[$upper(%artist%) - ]" shows when the artist is known.
  std::vector<Argument> args;
  args.reserve(parts.size());
  for (TextView part : parts) {
    Evaluator arg(field_, depth_ + 1);
    arg.Run(part);
    found += arg.found;
    args.push_back(Argument{std::move(arg.text), arg.found});
  }
  Text result;
  if (!fn->run(args, &result)) {
    failInvalid();
    return false;
  }
  AppendCapped(text, result);
  return true;
}

}  // namespace
}  // namespace title_format

std::u16string FormatTitle(std::u16string_view format, const TitleFieldLookup& field) {
  title_format::Evaluator evaluator(field, 0);
  evaluator.Run(title_format::Decode(format));
  return title_format::Encode(evaluator.text);
}

}  // namespace zul
