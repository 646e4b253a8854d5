#include "equalizer/eq_lines.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <limits>
#include <optional>

namespace zul {
namespace {

// A reader with the matching rules of the C runtime's scanf for "%d" and
// "%g", but independent of the locale and without undefined overflow.
class CFieldReader {
public:
  explicit CFieldReader(const std::wstring& line) {
    text.reserve(line.size());
    // Only ASCII can form a number; anything else stops the scan.
    for (wchar_t c : line) text.push_back(static_cast<unsigned long>(c) < 0x80 ? static_cast<char>(c) : '\x7f');
  }

  // True when only white space is left (scanf's end of input).
  bool AtEnd() {
    SkipSpace();
    return pos == text.size();
  }

  std::optional<int> Int() {
    if (!StartNumber()) return std::nullopt;
    long long v = 0;
    const char* first = text.data() + pos;
    auto [end, ec] = std::from_chars(first, text.data() + text.size(), v);
    if (end == first) return std::nullopt;
    if (ec == std::errc::result_out_of_range) v = *first == '-' ? LLONG_MIN : LLONG_MAX;
    pos = end - text.data();
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
  }

  std::optional<float> Float() {
    if (!StartNumber()) return std::nullopt;
    float v = 0;
    const char* first = text.data() + pos;
    auto [end, ec] = std::from_chars(first, text.data() + text.size(), v, std::chars_format::general);
    if (end == first) return std::nullopt;
    if (ec == std::errc::result_out_of_range) v = OutOfRange(first, end);
    pos = end - text.data();
    return v;
  }

private:
  void SkipSpace() {
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) ++pos;
  }

  // Skips blanks and an explicit '+', which from_chars does not take.
  bool StartNumber() {
    SkipSpace();
    if (pos < text.size() && text[pos] == '+') {
      if (pos + 1 >= text.size() || text[pos + 1] == '-' || text[pos + 1] == '+') return false;
      ++pos;
    }
    return pos < text.size();
  }

  // Overflow becomes infinity, underflow zero (as strtof reports them).
  static float OutOfRange(const char* first, const char* end) {
    const bool negative = *first == '-';
    std::string_view s(first, end - first);
    const size_t e = s.find_first_of("eE");
    const bool tiny = e != std::string_view::npos ? (e + 1 < s.size() && s[e + 1] == '-')
                                                  : s.find_first_of("123456789") > s.find('.');
    const float magnitude = tiny ? 0.0f : std::numeric_limits<float>::infinity();
    return negative ? -magnitude : magnitude;
  }

  std::string text;
  size_t pos = 0;
};

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

void AppendInt(std::string& out, int v) {
  char buf[16];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, end);
}

// Same text as printf("%.20g"), which the files were always written with.
void AppendFloat(std::string& out, float v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::general, 20);
  out.append(buf, end);
}

}  // namespace

EqLoadReport LoadEqualizerLines(std::span<const std::wstring> lines, EqPreset& preset) {
  EqLoadReport report;
  if (lines.empty()) return report;

  if (!lines[0].empty()) {
    CFieldReader reader(lines[0]);
    int count = 0;
    while (count < kEqValueCount) {
      const std::optional<int> v = reader.Int();
      if (!v) break;
      preset.values[count++] = *v;
    }
    report.valuesIncomplete = count < kEqValueCount;
  }

  preset.params.clear();
  for (size_t i = 1; i < lines.size(); ++i) {
    CFieldReader reader(lines[i]);
    if (reader.AtEnd()) break;
    float upper = 0, lower = 0, gain = 0;
    int left = 0, right = 0;
    int fields = 0;
    if (auto v = reader.Float()) {
      upper = *v, ++fields;
      if ((v = reader.Float())) {
        lower = *v, ++fields;
        if ((v = reader.Float())) {
          gain = *v, ++fields;
          if (auto f = reader.Int()) {
            left = *f, ++fields;
            if ((f = reader.Int())) right = *f, ++fields;
          }
        }
      }
    }
    if (fields == 0) break;
    if (fields < 5) {
      report.recordFields = fields;
      break;
    }
    preset.params.push_back(
        {lower, upper, gain, static_cast<unsigned char>(left != 0), static_cast<unsigned char>(right != 0)});
  }

  for (int& v : preset.values) v = std::clamp(v, 0, kEqMaxCut);
  return report;
}

std::vector<std::wstring> MakeEqualizerLines(const EqPreset& preset) {
  std::vector<std::wstring> lines;
  std::string line;
  for (int i = 0; i < kEqValueCount; ++i) {
    if (i) line += ' ';
    AppendInt(line, preset.values[i]);
  }
  lines.push_back(Widen(line));
  for (const EqParam& p : preset.params) {
    line.clear();
    AppendFloat(line, p.upper);
    line += ' ';
    AppendFloat(line, p.lower);
    line += ' ';
    AppendFloat(line, p.gain);
    line += ' ';
    AppendInt(line, p.left ? 1 : 0);
    line += ' ';
    AppendInt(line, p.right ? 1 : 0);
    lines.push_back(Widen(line));
  }
  return lines;
}

}  // namespace zul
