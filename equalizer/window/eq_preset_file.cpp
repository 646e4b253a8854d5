#include "equalizer/window/eq_preset_file.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace zul {
namespace {

// Frequencies and gains beyond these are no setting anybody made.
constexpr double kMaxMagnitude = 1e7;

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(separator, start);
    if (end == std::string_view::npos) end = text.size();
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

std::optional<int> Whole(std::string_view s) {
  int v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

std::optional<float> Number(std::string_view s) {
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  double v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v) || std::fabs(v) > kMaxMagnitude)
    return std::nullopt;
  return static_cast<float>(v);
}

bool IsText(std::string_view bytes) {
  for (unsigned char c : bytes)
    if ((c < 0x20 && c != '\r' && c != '\n' && c != '\t') || c >= 0x7F) return false;
  return true;
}

}  // namespace

EqPresetFileRead ParsePresetFile(std::string_view bytes) {
  EqPresetFileRead refused;
  if (bytes.empty() || bytes.size() > kEqPresetFileMaxBytes || !IsText(bytes)) return refused;
  std::vector<std::string_view> lines = Split(bytes, '\n');
  for (auto& line : lines)
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

  EqPreset preset;
  std::vector<std::string_view> values = Fields(lines[0]);
  if (values.size() != static_cast<size_t>(kEqValueCount)) return refused;
  for (int i = 0; i < kEqValueCount; ++i) {
    std::optional<int> v = Whole(values[i]);
    if (!v || *v < 0 || *v > kEqMaxCut) return refused;
    preset.values[i] = *v;
  }

  bool ended = false;
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string_view> f = Fields(lines[i]);
    if (f.empty()) {
      ended = true;  // the records end at the first empty line; only empty lines may follow
      continue;
    }
    std::optional<float> upper, lower, gain;
    std::optional<int> left, right;
    if (!ended && f.size() == 5) {
      upper = Number(f[0]), lower = Number(f[1]), gain = Number(f[2]);
      left = Whole(f[3]), right = Whole(f[4]);
    }
    if (ended || f.size() != 5 || !upper || !lower || !gain || !left || !right || (*left != 0 && *left != 1) ||
        (*right != 0 && *right != 1) || preset.params.size() == kEqPresetMaxRecords) {
      refused.recordFields = static_cast<int>(f.size());
      return refused;
    }
    EqParam p;
    p.lower = *lower;
    p.upper = *upper;
    p.gain = *gain;
    p.left = static_cast<unsigned char>(*left);
    p.right = static_cast<unsigned char>(*right);
    preset.params.push_back(p);
  }
  return {preset, 0};
}

std::string FormatPresetFile(const EqPreset& preset) {
  std::string out;
  for (const std::wstring& line : MakeEqualizerLines(preset)) {
    out.append(line.begin(), line.end());
    out += "\r\n";
  }
  return out;
}

}  // namespace zul
