// The TagLib side of bench_tags_vs_taglib, and nothing else: reads title,
// artist, album, year, genre, track, comment and length of each file with
// TagLib's FileRef, as a player using TagLib would.
//   bench_taglib_read DIR COUNT PASSES
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <cstdlib>
#include <string>

#include "bench/taglib_compare/read_passes.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string dir = argv[1];
  const int count = std::atoi(argv[2]), passes = std::atoi(argv[3]);
  return zul::bench::RunPasses(passes, [&] {
    zul::bench::CPassCount c;
    for (int i = 0; i < count; ++i) {
      TagLib::FileRef f(zul::bench::BenchFileName(dir, i).c_str());
      if (f.isNull()) continue;
      if (TagLib::Tag* t = f.tag()) {
        std::wstring values[] = {t->title().toWString(),  t->artist().toWString(),
                                 t->album().toWString(),  t->year() ? std::to_wstring(t->year()) : std::wstring(),
                                 t->genre().toWString(),  t->track() ? std::to_wstring(t->track()) : std::wstring(),
                                 t->comment().toWString()};
        c.titles += !values[0].empty();
        for (const std::wstring& v : values) c.fields += !v.empty();
      }
      if (TagLib::AudioProperties* a = f.audioProperties()) c.fields += a->lengthInMilliseconds() > 0;
    }
    return c;
  });
}
