#include "pluginhost/host/dll_gen.h"

#include "base/console_log.h"
#include "pluginhost/host/builtin_wrappers.h"
#include "pluginhost/host/plugin_settings.h"

namespace zul {

std::unique_ptr<CDllGen> CDllGen::Load(const std::wstring& path, HWND winamp) {
  std::unique_ptr<CDllGen> p(new CDllGen(path));
  p->window_ = winamp;
  p->empty_ = PrepareEmptyGeneral(winamp);
  if (!p->library_.Load(path, "winampGetGeneralPurposePlugin", kGeneralLoadFailed)) return nullptr;
  p->getRecord_ = reinterpret_cast<GetGeneralPurposePluginFn>(p->library_.entry());
  winampGeneralPurposePlugin* r = nullptr;
  const HINSTANCE instance = p->library_.module();
  const winampGeneralPurposePlugin& empty = *p->empty_;
  const GetGeneralPurposePluginFn entry = p->getRecord_;
  GuardFault fault = Guarded([&] {
    r = entry();
    if (!r) return;
    r->hDllInstance = instance;
    r->hwndParent = winamp;
    if (!r->config) r->config = empty.config;
    if (!r->init) r->init = empty.init;
    if (!r->quit) r->quit = empty.quit;
  });
  if (p->Faulted(fault, L"winampGetGeneralPurposePlugin") || !r) {
    if (!fault.faulted) ZUL_LOG(L"Plug-in %s refused: winampGetGeneralPurposePlugin returned no record", path.c_str());
    if (fault.faulted) p->library_.Keep();
    ShowLoadFailure(kGeneralLoadFailed, path);
    return nullptr;
  }
  p->record_ = r;
  ZUL_LOG(L"General plug-in %s loaded", path.c_str());
  return p;
}

CDllGen::~CDllGen() {
  if (!unloaded_) library_.Keep();
}

bool CDllGen::Faulted(const GuardFault& fault, const wchar_t* call) {
  return ReportFault(fault, name_, call, &faults_);
}

void CDllGen::Init() {
  winampGeneralPurposePlugin* r = record_;
  procBefore_ = GetWindowLongPtrW(window_, GWLP_WNDPROC);
  initialised_ = true;
  int result = 0;
  if (Faulted(Guarded([&] { result = r->init(); }), L"init")) result = 0;
  (void)result;  // the host has no use for it
  procAfter_ = GetWindowLongPtrW(window_, GWLP_WNDPROC);
}

void CDllGen::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  bool keep = false;
  if (initialised_) {
    winampGeneralPurposePlugin* r = record_;
    ServeSentMessages();
    keep = Faulted(Guarded([&] { r->quit(); }), L"quit");
    if (IsWindow(window_) && procBefore_) SetWindowLongPtrW(window_, GWLP_WNDPROC, procBefore_);
  }
  if (keep)
    library_.Keep();
  else
    library_.Free();
}

void CDllGen::Config() {
  winampGeneralPurposePlugin* r = record_;
  Faulted(Guarded([&] { r->config(); }), L"config");
}

void CDllGenList::LoadFromSettings(const ProfileReader& settings, HWND winamp) {
  UnloadAll();
  for (int n = 0;; ++n) {
    const std::wstring name = ReadPluginName(settings, kGeneralListKey, n);
    if (name.empty()) break;
    if (name == kStandardName) continue;
    if (auto entry = CDllGen::Load(name, winamp)) entries_.push_back(std::move(entry));
  }
}

void CDllGenList::InitAll() {
  for (const auto& e : entries_)
    if (!e->Initialised()) e->Init();
}

bool CDllGenList::SaveAndUnload(const std::wstring& profilePath) {
  const bool written = WritePluginNames(profilePath, kGeneralListKey, Names());
  UnloadAll();
  return written;
}

bool CDllGenList::Add(const std::wstring& path, HWND winamp) {
  auto entry = path.empty() ? nullptr : CDllGen::Load(path, winamp);
  if (!entry) return false;
  entries_.push_back(std::move(entry));
  entries_.back()->Init();
  return true;
}

void CDllGenList::RemoveAt(int index) {
  if (index < 0 || index >= Count()) return;
  std::unique_ptr<CDllGen> entry = std::move(entries_[index]);
  entries_.erase(entries_.begin() + index);
  UnloadEntry(std::move(entry));
}

void CDllGenList::UnloadEntry(std::unique_ptr<CDllGen> entry) {
  // See the header: plug-ins that subclassed on top of this one must not
  // later put back a procedure that lives in this DLL.
  if (entry->Initialised() && entry->procAfter() != entry->procBefore()) {
    for (const auto& other : entries_)
      if (other->Initialised() && other->procBefore() == entry->procAfter()) other->SetProcBefore(entry->procBefore());
  }
  entry->Unload();
}

void CDllGenList::Config(int index) {
  if (CDllGen* e = At(index)) e->Config();
}

CDllGen* CDllGenList::At(int index) const { return index >= 0 && index < Count() ? entries_[index].get() : nullptr; }

std::vector<std::wstring> CDllGenList::Names() const {
  std::vector<std::wstring> names;
  for (const auto& e : entries_) names.push_back(e->name());
  return names;
}

void CDllGenList::UnloadAll() {
  while (!entries_.empty()) {
    std::unique_ptr<CDllGen> entry = std::move(entries_.front());
    entries_.erase(entries_.begin());
    UnloadEntry(std::move(entry));
  }
}

}  // namespace zul
