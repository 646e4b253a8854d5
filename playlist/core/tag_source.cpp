#include "playlist/core/tag_source.h"

#include <atomic>

namespace zul {
namespace {

class SilentTagSource : public TagSource {
public:
  void GetFileInfo(const std::wstring&, std::wstring* title, int* lengthMs) override {
    title->clear();
    *lengthMs = -1;
  }
  bool GetExtendedFileInfo(const std::wstring&, const char*, std::wstring*) override { return false; }
};

SilentTagSource g_silent;
std::atomic<TagSource*> g_source{&g_silent};
thread_local int t_noReadsDepth = 0;

}  // namespace

void SetTagSource(TagSource* source) { g_source.store(source ? source : &g_silent); }
TagSource& CurrentTagSource() { return *g_source.load(); }

NoTagReads::NoTagReads() { ++t_noReadsDepth; }
NoTagReads::~NoTagReads() { --t_noReadsDepth; }
bool NoTagReads::Active() { return t_noReadsDepth > 0; }

}  // namespace zul
