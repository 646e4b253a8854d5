// Parse and layout of the tray tooltip for hostile texts: tag values of
// 5000 characters, deep nesting, masses of tags and entities. The glyph
// sizes are fixed (the window measures with GDI; this times our own work).
// Prints figures; exits 1 when a case takes more than 16 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/tray/tooltip_text.h"
#include "base/settings.h"
#include "ui/html_tooltip/html_document.h"
#include "ui/html_tooltip/html_layout.h"

namespace {

using namespace zul;
using Clock = std::chrono::steady_clock;

class FixedMeasurer final : public html::Measurer {
public:
  html::Size Text(std::wstring_view text, const html::TextStyle& s) override {
    return html::Size{static_cast<int>(text.size()) * (s.heading ? 10 : 7), s.heading ? 16 : 12};
  }
  html::Size Picture(const html::PictureRef&) override { return html::Size{32, 32}; }
};

double MedianMs(const std::wstring& text) {
  std::vector<double> runs;
  for (int i = 0; i < 15; ++i) {
    const auto start = Clock::now();
    FixedMeasurer m;
    auto doc = html::Parse(text);
    html::Layout l = html::LayOut(*doc, m, 420, 0);
    runs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (l.height < 0) std::puts("");  // keep the work
  }
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

}  // namespace

int main() {
  const std::wstring big(5000, L'W');
  std::wstring words;
  for (int i = 0; i < 1000; ++i) words += L"word ";
  const TooltipFields hostile{big,
                              words,
                              L"<b><i><table><tr><td>" + big,
                              L"&&&&<<<<>>>>",
                              big,
                              L" 99:59",
                              big + L".mp3",
                              L"C:",
                              L"\\" + big + L"\\"};
  std::wstring deep, tags, entities;
  for (int i = 0; i < 20000; ++i) deep += L"<table><tr><td><b>";
  for (int i = 0; i < 50000; ++i) tags += L"<br><blink>";
  for (int i = 0; i < 50000; ++i) entities += L"&amp;&lt;&bogus;";
  struct Case {
    const char* name;
    std::wstring text;
  } cases[] = {
      {"default template, ordinary tags",
       ExpandTooltipTemplate(DefaultToolTipTemplate(),
                             TooltipFields{L"Artist", L"Title", L"Album", L"2001", L"Comment", L" 03:20", L"song.mp3",
                                           L"C:", L"\\Music\\"},
                             std::nullopt)},
      {"default template, 5000-character values",
       ExpandTooltipTemplate(DefaultToolTipTemplate(), hostile, std::nullopt)},
      {"20000 nested tables", deep},
      {"100000 tags", tags},
      {"150000 entities", entities},
  };
  int status = 0;
  for (const Case& c : cases) {
    const double ms = MedianMs(c.text);
    const bool ok = ms <= 16.0;
    std::printf("tooltip layout, %-42s %8.3f ms (target 16 ms) %s\n", c.name, ms, ok ? "ok" : "MISSED");
    if (!ok) status = 1;
  }
  return status;
}
