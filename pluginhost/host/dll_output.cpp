#include "pluginhost/host/dll_output.h"

#include "base/console_log.h"
#include "pluginhost/host/builtin_wrappers.h"
#include "pluginhost/host/plugin_settings.h"

namespace zul {
namespace {

template <class Fn>
void Lend(Fn& member, Fn fallback) {
  if (!member) member = fallback;
}

void FillFromBuiltin(Out_Module& m, const Out_Module& b) {
  Lend(m.Config, b.Config);
  Lend(m.About, b.About);
  Lend(m.Init, &NothingToInitOrQuit);
  Lend(m.Quit, &NothingToInitOrQuit);
  Lend(m.Open, b.Open);
  Lend(m.Close, b.Close);
  Lend(m.Write, b.Write);
  Lend(m.CanWrite, b.CanWrite);
  Lend(m.IsPlaying, b.IsPlaying);
  Lend(m.Pause, b.Pause);
  Lend(m.SetVolume, b.SetVolume);
  Lend(m.SetPan, b.SetPan);
  Lend(m.Flush, b.Flush);
  Lend(m.GetOutputTime, b.GetOutputTime);
  Lend(m.GetWrittenTime, b.GetWrittenTime);
}

}  // namespace

std::unique_ptr<CDllOutput> CDllOutput::Standard(HWND winamp) {
  std::unique_ptr<CDllOutput> p(new CDllOutput(kStandardName));
  p->standard_ = true;
  p->builtin_ = PrepareBuiltinOut(winamp);
  p->module_ = p->builtin_;
  return p;
}

std::unique_ptr<CDllOutput> CDllOutput::Load(const std::wstring& path, HWND winamp) {
  std::unique_ptr<CDllOutput> p(new CDllOutput(path));
  p->builtin_ = PrepareBuiltinOut(winamp);
  if (!p->library_.Load(path, "winampGetOutModule", kOutputLoadFailed)) return nullptr;
  p->getModule_ = reinterpret_cast<GetOutModuleFn>(p->library_.entry());
  Out_Module* m = nullptr;
  const HMODULE instance = p->library_.module();
  const Out_Module& builtin = *p->builtin_;
  const GetOutModuleFn entry = p->getModule_;
  GuardFault fault = Guarded([&] {
    m = entry();
    if (!m) return;
    m->hMainWindow = winamp;
    FillFromBuiltin(*m, builtin);
    m->hDllInstance = instance;
  });
  if (p->Faulted(fault, L"winampGetOutModule") || !m) {
    if (!fault.faulted) ZUL_LOG(L"Plug-in %s refused: winampGetOutModule returned no record", path.c_str());
    if (fault.faulted) p->library_.Keep();
    ShowLoadFailure(kOutputLoadFailed, path);
    return nullptr;
  }
  p->module_ = m;
  ZUL_LOG(L"Output plug-in %s loaded", path.c_str());
  return p;
}

CDllOutput::~CDllOutput() {
  if (!unloaded_) library_.Keep();
}

bool CDllOutput::Faulted(const GuardFault& fault, const wchar_t* call) {
  return ReportFault(fault, name_, call, &faults_);
}

void CDllOutput::Init() {
  Out_Module* m = module_;
  initialised_ = true;
  Faulted(Guarded([&] { m->Init(); }), L"Init");
}

void CDllOutput::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  Out_Module* m = module_;
  // A plug-in whose Init never ran has nothing to quit, and may not expect
  // a Quit without one.
  if (initialised_) {
    ServeSentMessages();
    if (Faulted(Guarded([&] { m->Quit(); }), L"Quit")) {
      library_.Keep();
      return;
    }
  }
  library_.Free();
}

void CDllOutput::Config(HWND parent) {
  Out_Module* m = module_;
  Faulted(Guarded([&] { m->Config(parent); }), L"Config");
}

void CDllOutput::About(HWND parent) {
  Out_Module* m = module_;
  Faulted(Guarded([&] { m->About(parent); }), L"About");
}

void CDllOutputList::LoadFromSettings(const ProfileReader& settings, HWND winamp) {
  UnloadAll();
  winamp_ = winamp;
  bool standardLoaded = false;
  for (int n = 0;; ++n) {
    const std::wstring name = ReadPluginName(settings, kOutputListKey, n);
    std::unique_ptr<CDllOutput> entry;
    if (name == kStandardName || name.empty()) {
      if (!standardLoaded) entry = CDllOutput::Standard(winamp);
      standardLoaded = true;
    } else {
      entry = CDllOutput::Load(name, winamp);
    }
    if (entry) {
      entry->Init();
      entries_.push_back(std::move(entry));
    }
    if (name.empty()) break;
  }
}

bool CDllOutputList::SaveAndUnload(const std::wstring& profilePath) {
  const bool written = WritePluginNames(profilePath, kOutputListKey, Names());
  UnloadAll();
  return written;
}

bool CDllOutputList::Add(const std::wstring& path, HWND winamp) {
  auto entry = path.empty() ? nullptr : CDllOutput::Load(path, winamp);
  if (!entry) return false;
  winamp_ = winamp;
  entries_.push_back(std::move(entry));
  return true;
}

void CDllOutputList::RemoveAt(int index) {
  if (index < 0 || index >= Count()) return;
  std::unique_ptr<CDllOutput> entry = std::move(entries_[index]);
  entries_.erase(entries_.begin() + index);
  entry->Unload();
}

void CDllOutputList::MoveUp(int index) {
  if (index <= 0 || index >= Count()) return;
  std::swap(entries_[index], entries_[index - 1]);
}

void CDllOutputList::MoveDown(int index) { MoveUp(index + 1); }

void CDllOutputList::Config(int index, HWND parent) {
  if (CDllOutput* e = At(index)) e->Config(parent);
}

void CDllOutputList::About(int index, HWND parent) {
  if (CDllOutput* e = At(index)) e->About(parent);
}

Out_Module* CDllOutputList::CurrentModule() {
  if (entries_.empty()) return PrepareBuiltinOut(winamp_);
  CDllOutput& current = *entries_.front();
  if (!current.Initialised()) current.Init();
  return current.module();
}

CDllOutput* CDllOutputList::At(int index) const {
  return index >= 0 && index < Count() ? entries_[index].get() : nullptr;
}

std::vector<std::wstring> CDllOutputList::Names() const {
  std::vector<std::wstring> names;
  for (const auto& e : entries_) names.push_back(e->name());
  return names;
}

void CDllOutputList::UnloadAll() {
  while (!entries_.empty()) {
    std::unique_ptr<CDllOutput> entry = std::move(entries_.front());
    entries_.erase(entries_.begin());
    entry->Unload();
  }
}

}  // namespace zul
