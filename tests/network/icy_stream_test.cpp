// The portable layer of stream reception: the ICY filter against bodies cut
// at every possible place and against hostile servers' bytes, the save-file
// names a server can influence, the ring and the frame synchroniser.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "mpeg_input/http/icy_filter.h"
#include "mpeg_input/http/save_name.h"
#include "mpeg_input/http/stream_ring.h"
#include "mpeg_input/http/stream_sync.h"

namespace zul {
namespace {

// A metadata block as servers send it: length byte, then 16 x L bytes.
std::string MetaBlock(const std::string& text) {
  std::string padded = text;
  padded.resize((text.size() + 15) / 16 * 16, '\0');
  return std::string(1, static_cast<char>(padded.size() / 16)) + padded;
}

// Audio that shows where it came from: byte i of the stream is i mod 251.
std::string Audio(size_t from, size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s.push_back(static_cast<char>((from + i) % 251));
  return s;
}

struct Filtered {
  std::string audio;
  std::vector<std::string> titles;
  bool ok = true;
  std::string status;
};

Filtered FilterBody(int64_t metaint, const std::string& body, size_t piece, bool decode = true) {
  CIcyFilter f(metaint, decode);
  Filtered r;
  std::vector<uint8_t> audio;
  for (size_t at = 0; at < body.size() && r.ok; at += piece) {
    std::string_view p = std::string_view(body).substr(at, piece);
    r.ok = f.Feed({reinterpret_cast<const uint8_t*>(p.data()), p.size()}, audio);
    std::string t;
    if (f.TakeTitle(&t)) r.titles.push_back(t);
  }
  r.audio.assign(audio.begin(), audio.end());
  r.status = f.Status();
  return r;
}

TEST(IcyFilter, SameAudioAndTitlesWhereverTheBodyIsCut) {
  const int64_t m = 100;
  std::string body, audio;
  const char* titles[] = {"Artist - One", "", "It's Two", "Artist - One"};
  for (int i = 0; i < 4; ++i) {
    std::string a = Audio(audio.size(), m);
    audio += a;
    body += a + MetaBlock(std::string("StreamTitle='") + titles[i] + "';");
  }
  std::string a = Audio(audio.size(), m);
  audio += a;
  body += a + std::string(1, '\0');  // an empty block: no title change
  for (size_t piece : {1u, 2u, 7u, 99u, 100u, 101u, 117u, 4096u}) {
    Filtered r = FilterBody(m, body, piece);
    SCOPED_TRACE(piece);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.audio, audio);
    // An apostrophe inside the title does not end it; "Artist - One" again
    // after another title is a change. Pieces that hold several blocks
    // report the newest title only.
    if (piece <= 117)
      EXPECT_EQ(r.titles, (std::vector<std::string>{"Artist - One", "", "It's Two", "Artist - One"}));
    else
      EXPECT_EQ(r.titles, (std::vector<std::string>{"Artist - One"}));
  }
}

TEST(IcyFilter, RawIcyStatusLineCarriesTheHeadersAndAudioStartsAfterTheBlankLine) {
  std::string head = "ICY 200 OK\r\nicy-name:Loop FM\r\nicy-genre: Test\r\nicy-metaint:16\r\nicy-br:128\r\n\r\n";
  std::string body = head + Audio(0, 16) + MetaBlock("StreamTitle='A%20B';") + Audio(16, 5);
  for (size_t piece : {1u, 3u, 12u, 13u, 1000u}) {
    CIcyFilter f(-1, true);
    std::vector<uint8_t> audio;
    for (size_t at = 0; at < body.size(); at += piece) {
      std::string_view p = std::string_view(body).substr(at, piece);
      ASSERT_TRUE(f.Feed({reinterpret_cast<const uint8_t*>(p.data()), p.size()}, audio));
    }
    EXPECT_EQ(std::string(audio.begin(), audio.end()), Audio(0, 21));
    EXPECT_EQ(f.RawInfo().name, "Loop FM");
    EXPECT_EQ(f.RawInfo().genre, "Test");
    EXPECT_EQ(f.RawInfo().bitrateKbps, 128);
    EXPECT_EQ(f.MetaInterval(), 16);
    std::string t;
    ASSERT_TRUE(f.TakeTitle(&t));
    EXPECT_EQ(t, "A B");
  }
}

TEST(IcyFilter, IcyHeaderLinesLeftInTheBodyWithoutTheirStatusLine) {
  // What an HTTP client that took "ICY 200 OK" for its own status line
  // hands on: the header lines, the blank line, then the audio.
  std::string body =
      "icy-name:Loop FM\r\nICY-METAINT:16\r\n\r\n" + Audio(0, 16) + MetaBlock("StreamTitle='T';") + Audio(16, 3);
  for (size_t piece : {1u, 3u, 4u, 5u, 100u}) {
    CIcyFilter f(-1, true);
    std::vector<uint8_t> audio;
    for (size_t at = 0; at < body.size(); at += piece) {
      std::string_view p = std::string_view(body).substr(at, piece);
      ASSERT_TRUE(f.Feed({reinterpret_cast<const uint8_t*>(p.data()), p.size()}, audio));
    }
    EXPECT_EQ(std::string(audio.begin(), audio.end()), Audio(0, 19)) << piece;
    EXPECT_EQ(f.RawInfo().name, "Loop FM");
    std::string t;
    EXPECT_TRUE(f.TakeTitle(&t));
    EXPECT_EQ(t, "T");
  }
  // Audio that happens to begin with "ICY" or "icy" is not taken for headers
  // unless it goes on like them.
  EXPECT_EQ(FilterBody(-1, "icyX and more audio", 1).audio, "icyX and more audio");
  EXPECT_EQ(FilterBody(-1, "ICX and more audio", 2).audio, "ICX and more audio");
  EXPECT_EQ(FilterBody(-1, "ICY", 1).audio, "");  // too short to tell: nothing yet
  const std::string longName(100, 'a');
  EXPECT_EQ(FilterBody(-1, longName + ":x", 7).audio, longName + ":x");
  // A whole header block and audio in one piece.
  EXPECT_EQ(FilterBody(-1, "ICY 200 OK\r\n\r\nabc", 100).audio, "abc");
}

TEST(IcyFilter, HostileBodiesEndCleanlyOrPassAsAudio) {
  // A status other than 200 ends the stream with its line as the status.
  Filtered notFound = FilterBody(-1, "ICY 404 Resource Not Found\r\nicy-notice1:x\r\n\r\n", 5);
  EXPECT_FALSE(notFound.ok);
  EXPECT_EQ(notFound.status, "ICY 404 Resource Not Found");
  EXPECT_TRUE(notFound.audio.empty());

  // A header block that never ends is refused once it passes the limit.
  Filtered endless = FilterBody(-1, "ICY 200 OK\r\n" + std::string(kMaxRawHeader + 10, 'h'), 333);
  EXPECT_FALSE(endless.ok);
  EXPECT_EQ(endless.status, "Invalid ICY header");

  // Length byte 255 forever: 4080 bytes of metadata per block, never a
  // title, and the 0xFF audio between the blocks passes (the synchroniser
  // refuses it later).
  const int64_t m = 64;
  std::string ff = Audio(0, m) + std::string(200000, '\xff');
  Filtered flood = FilterBody(m, ff, 8192);
  EXPECT_TRUE(flood.ok);
  EXPECT_TRUE(flood.titles.empty());
  // Per block of 1 + 4080 bytes, m bytes of audio follow.
  size_t blocks = (200000 + m) / (1 + 4080 + m);
  EXPECT_GE(flood.audio.size(), m + blocks * m - m);
  EXPECT_LE(flood.audio.size(), m + (blocks + 1) * m);

  // A 4080-byte title without its closing quote is no title.
  std::string open = "StreamTitle='" + std::string(4080 - 13, 'x');
  Filtered unclosed = FilterBody(m, Audio(0, m) + MetaBlock(open) + Audio(m, m), 4096);
  EXPECT_TRUE(unclosed.ok);
  EXPECT_TRUE(unclosed.titles.empty());
  EXPECT_EQ(unclosed.audio, Audio(0, 2 * m));
}

TEST(IcyFilter, MetaIntervalValuesFromTheHeader) {
  struct Case {
    const char* value;
    int64_t interval;
  } cases[] = {{"8192", 8192},     {" 16000 ", 16000},           {"0", -1},     {"-1", -1}, {"2147483648", 2147483648},
               {"2147483649", -1}, {"99999999999999999999", -1}, {"12abc", -1}, {"", -1}};
  for (const Case& c : cases) {
    CICYInfo info;
    SetIcyField(info, "ICY-MetaInt", c.value);
    EXPECT_EQ(info.metaInterval, c.interval) << c.value;
  }
  // Without an interval the body is all audio, whatever it holds.
  std::string body = Audio(0, 50) + MetaBlock("StreamTitle='x';");
  Filtered none = FilterBody(-1, body, 7);
  EXPECT_EQ(none.audio, body);
  EXPECT_TRUE(none.titles.empty());
}

TEST(IcyFilter, TitleTextDecoding) {
  EXPECT_EQ(DecodePercentEscapes("Caf%C3%A9 %41%4a %zz %4"), "Caf\xC3\xA9 AJ %zz %4");
  EXPECT_TRUE(LooksLikeUtf8("Caf\xC3\xA9"));
  EXPECT_FALSE(LooksLikeUtf8("Caf\xE9"));
  EXPECT_FALSE(LooksLikeUtf8("plain"));
  EXPECT_FALSE(LooksLikeUtf8("cut \xC3"));
  EXPECT_EQ(StreamTitleOf("StreamTitle=\"Double\";"), "Double");
  EXPECT_EQ(StreamTitleOf("StreamTitle='Nul\0ends';"), std::nullopt);
  EXPECT_EQ(StreamTitleOf("StreamUrl='x';"), std::nullopt);
}

TEST(SaveStreamName, NamesFromTheServerStayPlainFileNames) {
  struct Case {
    const wchar_t* location;
    const wchar_t* name;
  } cases[] = {
      {L"http://h:8000/live.mp3", L"live.mp3"},
      {L"http://h/a/b/c.mp3?sid=1#x", L"c.mp3"},
      {L"http://h/..\\..\\windows\\evil.exe", L"evil.exe"},
      {L"http://h/%2e%2e%5cx", L"%2e%2e%5cx"},  // not decoded: stays one harmless name
      {L"http://h/..", L"stream"},
      {L"http://h/", L"stream"},
      {L"http://h", L"stream"},
      {L"http://h/C:evil.mp3", L"C_evil.mp3"},
      {L"http://h/con", L"_con"},
      {L"http://h/NUL.mp3", L"_NUL.mp3"},
      {L"http://h/com7.txt", L"_com7.txt"},
      {L"http://h/lpt1", L"_lpt1"},
      {L"http://h/console.mp3", L"console.mp3"},
      {L"http://h/a<b>|\"*.mp3?q", L"a_b____.mp3"},
      {L"http://h/name. . .", L"name"},
  };
  for (const Case& c : cases) EXPECT_EQ(SafeStreamFileName(c.location), c.name) << c.location;
  EXPECT_EQ(SafeStreamFileName(L"http://h/" + std::wstring(500, L'a')).size(), 120u);
}

TEST(SaveStreamName, AnExistingFileGetsTheFirstFreeNumberedName) {
  std::set<std::wstring> taken = {L"C:\\s\\live.mp3", L"C:\\s\\00_live.mp3", L"C:\\s\\01_live.mp3"};
  auto exists = [&](const std::wstring& n) { return taken.count(n) > 0; };
  EXPECT_EQ(SaveStreamTarget(L"C:\\s\\%1", L"http://h/live.mp3", exists), L"C:\\s\\02_live.mp3");
  EXPECT_EQ(SaveStreamTarget(L"C:\\s\\%1", L"http://h/new.mp3", exists), L"C:\\s\\new.mp3");
  for (int i = 2; i < 100; ++i)
    taken.insert(L"C:\\s\\" + std::wstring(i < 10 ? L"0" : L"") + std::to_wstring(i) + L"_live.mp3");
  EXPECT_EQ(SaveStreamTarget(L"C:\\s\\%1", L"http://h/live.mp3", exists), L"C:\\s\\100_live.mp3");
  EXPECT_EQ(SaveStreamTarget(L"", L"http://h/live.mp3", exists), L"");
  EXPECT_EQ(SaveStreamTarget(L"C:\\fixed.mp3", L"http://h/x", [](const std::wstring&) { return true; }), L"");
}

TEST(StreamRing, WrapsKeepsOrderAndHonoursThePreBuffer) {
  CStreamRing ring(1000, 300);
  EXPECT_EQ(ring.Room(8192), 300u);
  std::string sent, got;
  size_t n = 0;
  // Fill to the pre-buffer, then read and write in odd pieces so the
  // offsets wrap many times.
  sent += Audio(0, 300);
  ASSERT_EQ(ring.Write({reinterpret_cast<const uint8_t*>(sent.data()), 300}), 300u);
  EXPECT_EQ(ring.Room(8192), 0u);
  uint8_t buf[700];
  for (int round = 0; round < 50; ++round) {
    n = ring.Read(buf, 1 + round * 13 % 650, 10);
    got.append(reinterpret_cast<char*>(buf), n);
    std::string more = Audio(sent.size(), ring.Room(577));
    ASSERT_EQ(ring.Write({reinterpret_cast<const uint8_t*>(more.data()), more.size()}), more.size());
    sent += more;
  }
  ring.Finish();
  while ((n = ring.Read(buf, sizeof buf, 10)) > 0) got.append(reinterpret_cast<char*>(buf), n);
  EXPECT_GT(sent.size(), 5000u);
  EXPECT_EQ(got, sent);
}

TEST(StreamRing, AbortWakesAReaderThatWaits) {
  CStreamRing ring(1000, 300);
  std::thread stopper([&] { ring.Abort(); });
  uint8_t b[10];
  EXPECT_EQ(ring.Read(b, sizeof b, 60000), 0u);  // returns once aborted, long before the wait bound
  stopper.join();
}

// MPEG-1 Layer III 128 kbit/s 44.1 kHz stereo frames of 417 bytes.
std::string Frames(int count) {
  std::string f(417, '\0');
  f[0] = '\xff', f[1] = '\xfb', f[2] = '\x90', f[3] = '\x44';
  std::string s;
  for (int i = 0; i < count; ++i) s += f;
  return s;
}

TEST(StreamSync, FindsTheFirstConsistentPairAfterGarbageAndGivesUpOnNoise) {
  struct Case {
    std::string junk;
    bool found;
  } cases[] = {
      {"", true},
      {std::string(5000, 'x'), true},
      // A lone header whose successor is not one: skipped.
      {std::string("\xff\xfb\x90\x44", 4) + std::string(600, '\0'), true},
      {std::string(20000, '\xff'), true},
  };
  for (const Case& c : cases) {
    std::string body = c.junk + Frames(6);
    CStreamRing ring(64 * 1024, 64 * 1024);
    ring.Write({reinterpret_cast<const uint8_t*>(body.data()), body.size()});
    ring.Finish();
    CFrameHeader h;
    ASSERT_EQ(SynchroniseRing(ring, &h), c.found);
    EXPECT_EQ(ring.Fill(), 6u * 417) << c.junk.size();
    EXPECT_EQ(h.frameLength, 417);
  }
  // Only noise, more than the search may cover: refused, having looked at
  // no more than the limit and a window.
  std::string noise;
  for (int i = 0; i < 400000; ++i) noise.push_back(static_cast<char>((int64_t{i} * 7919) % 256 | 1));
  CStreamRing ring(512 * 1024, 512 * 1024);
  ring.Write({reinterpret_cast<const uint8_t*>(noise.data()), noise.size()});
  ring.Finish();
  CFrameHeader h;
  EXPECT_FALSE(SynchroniseRing(ring, &h, nullptr, 64 * 1024));
  EXPECT_GT(ring.Fill(), 400000u - 64 * 1024 - 8192 - 1);
}

}  // namespace
}  // namespace zul
