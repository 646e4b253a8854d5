#pragma once
// The ICY record of a stream: what the server says about itself in its
// response headers, either parsed by the HTTP client or, when the server
// answers with a raw "ICY 200 OK" status line, parsed here from the body.
//
// Every value comes from a server nobody here controls: numbers are checked
// against their ranges and a value out of range counts as absent, texts are
// cut at kMaxIcyText bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zul {

inline constexpr size_t kMaxIcyText = 256;
// Servers use 8192 or 16000; anything up to 2^31 is still followed (the
// counters are 64-bit), larger or non-positive values mean "no metadata".
inline constexpr int64_t kMaxMetaInterval = int64_t{1} << 31;

struct CICYInfo {
  std::string name;           // icy-name
  std::string genre;          // icy-genre
  std::string url;            // icy-url
  int64_t metaInterval = -1;  // icy-metaint; -1 when absent or unusable
  int pub = 0;                // icy-pub
  int bitrateKbps = 0;        // icy-br
  int udpPort = -1;           // x-audiocast-udpport; -1 when absent
};

// A decimal number with optional surrounding blanks and a leading '-';
// nothing when the text is anything else or does not fit 64 bits.
std::optional<int64_t> ParseHeaderNumber(std::string_view text);

// The metadata interval from the header's value: the number when it is
// within 1..kMaxMetaInterval, else -1.
int64_t MetaIntervalFromHeader(std::string_view value);

// Sets the field that `name` (case-insensitive, without the colon) names,
// from `value`; unknown names are ignored.
void SetIcyField(CICYInfo& info, std::string_view name, std::string_view value);

// Parses the header lines of a raw ICY answer, "ICY 200 OK\r\n" up to the
// blank line, into `info`. Lines are "name:value" ended by "\r\n".
void ParseIcyHeaderBlock(std::string_view block, CICYInfo& info);

}  // namespace zul
