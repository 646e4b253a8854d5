#include "mpeg_input/http/icy_info.h"

#include <algorithm>
#include <cctype>

namespace zul {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string CutText(std::string_view value) {
  std::string s(value.substr(0, kMaxIcyText));
  // Control characters would end up in window titles and file names.
  for (char& c : s)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return s;
}

int SmallNumber(std::string_view value, int low, int high, int otherwise) {
  auto n = ParseHeaderNumber(value);
  return n && *n >= low && *n <= high ? static_cast<int>(*n) : otherwise;
}

}  // namespace

std::optional<int64_t> ParseHeaderNumber(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return negative ? -n : n;
}

int64_t MetaIntervalFromHeader(std::string_view value) {
  auto n = ParseHeaderNumber(value);
  return n && *n >= 1 && *n <= kMaxMetaInterval ? *n : -1;
}

void SetIcyField(CICYInfo& info, std::string_view name, std::string_view value) {
  name = Trim(name);
  value = Trim(value);
  if (SameName(name, "icy-name")) {
    info.name = CutText(value);
  } else if (SameName(name, "icy-genre")) {
    info.genre = CutText(value);
  } else if (SameName(name, "icy-url")) {
    info.url = CutText(value);
  } else if (SameName(name, "icy-metaint")) {
    info.metaInterval = MetaIntervalFromHeader(value);
  } else if (SameName(name, "icy-pub")) {
    info.pub = SmallNumber(value, 0, 1, 0);
  } else if (SameName(name, "icy-br")) {
    info.bitrateKbps = SmallNumber(value, 0, 100000, 0);
  } else if (SameName(name, "x-audiocast-udpport")) {
    info.udpPort = SmallNumber(value, 1, 65535, -1);
  }
}

void ParseIcyHeaderBlock(std::string_view block, CICYInfo& info) {
  size_t at = block.find("\r\n");  // the status line
  while (at != std::string_view::npos) {
    at += 2;
    size_t end = block.find("\r\n", at);
    std::string_view line = block.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    if (line.empty()) break;
    size_t colon = line.find(':');
    if (colon != std::string_view::npos) SetIcyField(info, line.substr(0, colon), line.substr(colon + 1));
    at = end;
  }
}

}  // namespace zul
