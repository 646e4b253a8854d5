#pragma once
// A tag source answering from a table, counting the questions it gets.
#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "playlist/core/tag_source.h"

namespace zul::test {

struct FakeTags {
  std::wstring basicTitle;
  int basicLengthMs = -1;
  std::map<std::string, std::wstring> fields;  // absent field: the call fails
};

class FakeTagSource : public TagSource {
public:
  FakeTagSource() { SetTagSource(this); }
  ~FakeTagSource() override { SetTagSource(nullptr); }

  void Set(const std::wstring& path, FakeTags tags) {
    std::lock_guard lock(mutex_);
    files_[path] = std::move(tags);
  }
  int Reads() const { return reads_.load(); }

  void GetFileInfo(const std::wstring& path, std::wstring* title, int* lengthMs) override {
    ++reads_;
    OnCall();
    std::lock_guard lock(mutex_);
    auto it = files_.find(path);
    *title = it == files_.end() ? L"" : it->second.basicTitle;
    *lengthMs = it == files_.end() ? -1 : it->second.basicLengthMs;
  }
  std::wstring ExtensionList() override {
    std::lock_guard lock(mutex_);
    return extensions_;
  }
  void SetExtensions(std::wstring list) {
    std::lock_guard lock(mutex_);
    extensions_ = std::move(list);
  }
  bool GetExtendedFileInfo(const std::wstring& path, const char* field, std::wstring* value) override {
    std::lock_guard lock(mutex_);
    auto it = files_.find(path);
    if (it == files_.end()) return false;
    auto f = it->second.fields.find(field);
    if (f == it->second.fields.end()) return false;
    *value = f->second;
    return true;
  }

protected:
  virtual void OnCall() {}

private:
  std::mutex mutex_;
  std::map<std::wstring, FakeTags> files_;
  std::wstring extensions_ = L"MP3;MP2;MP1;RMP";
  std::atomic<int> reads_{0};
};

// A typical answer: every field present.
inline FakeTags FullTags(const std::wstring& artist, const std::wstring& title, int lengthMs) {
  FakeTags t;
  t.basicTitle = L"basic " + title;
  t.basicLengthMs = lengthMs;
  t.fields = {{"length", std::to_wstring(lengthMs)},
              {"title", title},
              {"artist", artist},
              {"album", L"Album"},
              {"year", L"1999"},
              {"comment", L"c"}};
  return t;
}

}  // namespace zul::test
