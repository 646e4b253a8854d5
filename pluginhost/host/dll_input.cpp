#include "pluginhost/host/dll_input.h"

#include "base/console_log.h"
#include "base/win32_handles.h"
#include "pluginhost/host/builtin_wrappers.h"
#include "pluginhost/host/host_callbacks.h"
#include "pluginhost/protocol/builtin_modules.h"

namespace zul {
namespace {

// Winamp's title buffers are 2048 units; a plug-in may fill all of them even
// though the host keeps at most 254 bytes of an ANSI title.
constexpr size_t kTitleUnits = 2048;
constexpr size_t kMaxAnsiTitle = kAnsiNameSize - 1;
// An extension list longer than this is cut (it would not fit the text the
// host keeps anyway).
constexpr size_t kMaxExtensionBytes = 64 * 1024;

template <class Fn>
void Lend(Fn& member, Fn fallback) {
  if (!member) member = fallback;
}

// Null members take the built-in module's function, so no host call is ever
// a null call; Init and Quit take one that does nothing.
void FillFromBuiltin(In_Module& m, const In_Module& b) {
  Lend(m.Config, b.Config);
  Lend(m.About, b.About);
  Lend(m.Init, &NothingToInitOrQuit);
  Lend(m.Quit, &NothingToInitOrQuit);
  Lend(m.GetFileInfo, b.GetFileInfo);
  Lend(m.InfoBox, b.InfoBox);
  Lend(m.IsOurFile, b.IsOurFile);
  Lend(m.Play, b.Play);
  Lend(m.Pause, b.Pause);
  Lend(m.UnPause, b.UnPause);
  Lend(m.IsPaused, b.IsPaused);
  Lend(m.Stop, b.Stop);
  Lend(m.GetLength, b.GetLength);
  Lend(m.GetOutputTime, b.GetOutputTime);
  Lend(m.SetOutputTime, b.SetOutputTime);
  Lend(m.SetVolume, b.SetVolume);
  Lend(m.SetPan, b.SetPan);
  Lend(m.EQSet, b.EQSet);
}

// Copies a FileExtensions list out of the plug-in's memory, up to the empty
// extension list that ends it. Runs under the guard.
size_t CopyExtensionBytes(const char* source, char* target, size_t capacity) {
  size_t n = 0, stringStart = 0;
  bool inExtensions = true;
  while (n < capacity) {
    const char c = source[n];
    target[n++] = c;
    if (c != '\0') continue;
    if (inExtensions && n - 1 == stringStart) break;  // empty extension list
    inExtensions = !inExtensions;
    stringStart = n;
  }
  return n;
}

// The module's FileExtensions pairs, copied under the guard; no pairs when
// reading them faulted.
GuardFault ReadExtensionPairs(const In_Module* m, std::vector<char>& scratch,
                              std::vector<extensions::ExtensionPair>& pairs) {
  pairs.clear();
  scratch.resize(kMaxExtensionBytes);
  char* target = scratch.data();
  size_t n = 0;
  GuardFault fault = Guarded([&] {
    const char* source = m->FileExtensions;
    if (source) n = CopyExtensionBytes(source, target, kMaxExtensionBytes);
  });
  if (fault.faulted) return fault;
  for (const extensions::RawExtensionPair& raw : extensions::SplitExtensionPairs(std::string_view(target, n)))
    pairs.push_back({FromAnsi(raw.extensions.c_str(), raw.extensions.size()),
                     FromAnsi(raw.description.c_str(), raw.description.size())});
  return fault;
}

}  // namespace

std::unique_ptr<CDllInput> CDllInput::Standard(HWND winamp) {
  std::unique_ptr<CDllInput> p(new CDllInput(kStandardName));
  p->standard_ = true;
  p->builtin_ = PrepareBuiltinIn(winamp);
  p->module_ = p->builtin_;
  p->unicode_ = (p->module_->version & kInModuleUnicodeFlag) == kInModuleUnicodeFlag;
  return p;
}

std::unique_ptr<CDllInput> CDllInput::Load(const std::wstring& path, HWND winamp) {
  std::unique_ptr<CDllInput> p(new CDllInput(path));
  p->builtin_ = PrepareBuiltinIn(winamp);
  if (!p->library_.Load(path, "winampGetInModule2", kInputLoadFailed)) return nullptr;
  p->getModule_ = reinterpret_cast<GetInModuleFn>(p->library_.entry());
  p->extendedInfoNarrow_ = p->library_.Export("winampGetExtendedFileInfo");
  p->extendedInfoWide_ = reinterpret_cast<GetExtendedFileInfoWFn>(p->library_.Export("winampGetExtendedFileInfoW"));

  In_Module* m = nullptr;
  bool unicode = false;
  const HMODULE instance = p->library_.module();
  const In_Module& builtin = *p->builtin_;
  const GetInModuleFn entry = p->getModule_;
  GuardFault fault = Guarded([&] {
    m = entry();
    if (!m) return;
    m->hMainWindow = winamp;
    FillFromBuiltin(*m, builtin);
    m->hDllInstance = instance;
    unicode = (m->version & kInModuleUnicodeFlag) == kInModuleUnicodeFlag;
  });
  if (p->Faulted(fault, L"winampGetInModule2") || !m) {
    if (!fault.faulted) ZUL_LOG(L"Plug-in %s refused: winampGetInModule2 returned no record", path.c_str());
    if (fault.faulted) p->library_.Keep();
    ShowLoadFailure(kInputLoadFailed, path);
    return nullptr;
  }
  p->module_ = m;
  p->unicode_ = unicode;
  ZUL_LOG(L"Input plug-in %s loaded (%s)", path.c_str(), unicode ? L"Unicode" : L"ANSI");
  return p;
}

CDllInput::~CDllInput() {
  if (!unloaded_) library_.Keep();
}

bool CDllInput::Faulted(const GuardFault& fault, const wchar_t* call) {
  int faults = 0;
  const bool faulted = ReportFault(fault, name_, call, &faults);
  faults_ += faults;
  return faulted;
}

void CDllInput::Initialise() {
  In_Module* m = module_;
  Faulted(Guarded([&] { m->Init(); }), L"Init");
  // Also after a fault in Init: the plug-in must never find a null callback.
  const bool overwrite = standard_;
  Faulted(Guarded([&] { FillHostCallbacks(*m, overwrite); }), L"its record (host callbacks)");
}

void CDllInput::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  In_Module* m = module_;
  ServeSentMessages();
  if (Faulted(Guarded([&] { m->Quit(); }), L"Quit")) {
    library_.Keep();
    return;
  }
  library_.Free();
}

void* CDllInput::FileArgument(const std::wstring& path, AnsiName& ansi, std::wstring& wide) {
  if (unicode_) {
    wide = path;
    return wide.data();
  }
  ToAnsiName(path, ansi);
  return ansi;
}

int CDllInput::Play(const std::wstring& path) {
  void* file = FileArgument(path, playName_, playNameWide_);
  In_Module* m = module_;
  int result = 1;
  if (Faulted(Guarded([&] { result = m->Play(file); }), L"Play")) result = 1;
  state_ = result == 0 ? PlayState::Playing : PlayState::Stopped;
  return result;
}

void CDllInput::Pause() {
  In_Module* m = module_;
  Faulted(Guarded([&] { m->Pause(); }), L"Pause");
  state_ = PlayState::Paused;
}

void CDllInput::UnPause() {
  In_Module* m = module_;
  Faulted(Guarded([&] { m->UnPause(); }), L"UnPause");
  state_ = PlayState::Playing;
}

int CDllInput::IsPaused() {
  In_Module* m = module_;
  int paused = 0;
  if (Faulted(Guarded([&] { paused = m->IsPaused(); }), L"IsPaused")) paused = 0;
  return paused;
}

namespace {

struct StopCall {
  In_Module* module;
  GuardFault fault;
};

DWORD WINAPI RunStop(void* param) {
  auto* call = static_cast<StopCall*>(param);
  In_Module* m = call->module;
  call->fault = Guarded([&] { m->Stop(); });
  return 0;
}

}  // namespace

// A plug-in's Stop waits for its decode thread, some of them without a
// limit. A decode thread that sends the Winamp window a message meanwhile
// (an IPC question, a title request) waits for the UI thread, and a UI
// thread blocked inside Stop never answers: both would wait forever. So
// Stop runs on a thread of its own while the UI thread waits for it and
// answers sent messages; posted messages (input, timers) wait until Stop
// has returned. A decode thread that never ends by itself still keeps its
// Stop, and with it this call, waiting: nothing else could free the DLL
// safely.
void CDllInput::Stop() {
  // A command answered during the wait below may ask again: the Stop under
  // way covers it, and a plug-in's Stop is not made to run twice at once.
  if (stopping_) return;
  stopping_ = true;
  StopCall call{module_, {}};
  UniqueHandle thread(CreateThread(nullptr, 0, &RunStop, &call, 0, nullptr));
  if (!thread) {
    RunStop(&call);
  } else {
    const HANDLE waitFor = thread.Get();
    while (MsgWaitForMultipleObjects(1, &waitFor, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0)
      ServeSentMessages();
  }
  stopping_ = false;
  Faulted(call.fault, L"Stop");
  state_ = PlayState::Stopped;
}

int CDllInput::GetLength() {
  In_Module* m = module_;
  int ms = 0;
  if (Faulted(Guarded([&] { ms = m->GetLength(); }), L"GetLength")) ms = 0;
  return ms;
}

int CDllInput::GetOutputTime() {
  In_Module* m = module_;
  int ms = 0;
  if (Faulted(Guarded([&] { ms = m->GetOutputTime(); }), L"GetOutputTime")) ms = 0;
  return ms;
}

void CDllInput::SetOutputTime(int ms) {
  In_Module* m = module_;
  Faulted(Guarded([&] { m->SetOutputTime(ms); }), L"SetOutputTime");
}

bool CDllInput::SetVolume(int volume) {
  In_Module* m = module_;
  return !Faulted(Guarded([&] { m->SetVolume(volume); }), L"SetVolume");
}

void CDllInput::SetPan(int pan) {
  In_Module* m = module_;
  Faulted(Guarded([&] { m->SetPan(pan); }), L"SetPan");
}

int CDllInput::IsSeekable() {
  In_Module* m = module_;
  int seekable = 0;
  if (Faulted(Guarded([&] { seekable = m->is_seekable; }), L"is_seekable")) seekable = 0;
  return seekable;
}

int CDllInput::IsOurFile(const std::wstring& path) {
  AnsiName claimName{};
  std::wstring claimNameWide;
  void* file = FileArgument(path, claimName, claimNameWide);
  In_Module* m = module_;
  int claimed = 0;
  if (Faulted(Guarded([&] { claimed = m->IsOurFile(file); }), L"IsOurFile")) claimed = 0;
  return claimed;
}

void CDllInput::GetFileInfo(const std::wstring* path, std::wstring& title, int& lengthMs) {
  title.clear();
  lengthMs = 0;
  AnsiName infoName{};
  std::wstring infoNameWide;
  void* file = path ? FileArgument(*path, infoName, infoNameWide) : nullptr;
  In_Module* m = module_;
  int length = 0;
  if (unicode_) {
    std::vector<wchar_t> buffer(kTitleUnits, L'\0');
    wchar_t* out = buffer.data();
    if (Faulted(Guarded([&] { m->GetFileInfo(file, out, &length); }), L"GetFileInfo")) return;
    buffer.back() = L'\0';
    title = buffer.data();
  } else {
    std::vector<char> buffer(kTitleUnits, '\0');
    char* out = buffer.data();
    if (Faulted(Guarded([&] { m->GetFileInfo(file, out, &length); }), L"GetFileInfo")) return;
    title = FromAnsi(buffer.data(), kMaxAnsiTitle);
  }
  lengthMs = length;
}

int CDllInput::InfoBox(const std::wstring& path, HWND parent) {
  void* file = FileArgument(path, boxName_, boxNameWide_);
  In_Module* m = module_;
  int result = 1;  // "unchanged"
  if (Faulted(Guarded([&] { result = m->InfoBox(file, parent); }), L"InfoBox")) result = 1;
  return result;
}

int CDllInput::GetExtendedFileInfo(const std::wstring& path, const wchar_t* field, wchar_t* ret, int retlen) {
  if (ret && retlen > 0) ret[0] = L'\0';
  if (extendedInfoWide_) {
    const GetExtendedFileInfoWFn ask = extendedInfoWide_;
    int answered = 0;
    if (Faulted(Guarded([&] { answered = ask(path.c_str(), field, ret, retlen); }), L"winampGetExtendedFileInfoW")) {
      if (ret && retlen > 0) ret[0] = L'\0';
      return 0;
    }
    return answered;
  }
  // The built-in MPEG input answers for the files it claims.
  const In_Module* b = builtin_;
  std::wstring copy = path;
  int claims = 0;
  if (Faulted(Guarded([&] { claims = b->IsOurFile(copy.data()); }), L"the built-in's IsOurFile")) claims = 0;
  if (claims != 1) {
    std::vector<extensions::ExtensionPair> pairs;
    std::vector<char> extensionBytes;
    if (Faulted(ReadExtensionPairs(b, extensionBytes, pairs), L"the built-in's extension list") ||
        !extensions::MatchesExtensionText(path, extensions::ExtensionText(pairs)))
      return 0;
  }
  return BuiltinGetExtendedFileInfoW(path.c_str(), field, ret, retlen);
}

void CDllInput::Config(HWND parent) {
  In_Module* m = module_;
  Faulted(Guarded([&] { m->Config(parent); }), L"Config");
}

void CDllInput::About(HWND parent) {
  In_Module* m = module_;
  Faulted(Guarded([&] { m->About(parent); }), L"About");
}

void CDllInput::SetOutMod(Out_Module* output) {
  In_Module* m = module_;
  Faulted(Guarded([&] { m->outMod = output; }), L"its record (outMod)");
}

std::vector<extensions::ExtensionPair> CDllInput::ExtensionPairs() {
  std::vector<extensions::ExtensionPair> pairs;
  std::vector<char> extensionBytes;
  Faulted(ReadExtensionPairs(module_, extensionBytes, pairs), L"its extension list");
  return pairs;
}

std::wstring CDllInput::ExtensionText() { return extensions::ExtensionText(ExtensionPairs()); }

bool CDllInput::MatchesExtension(const std::wstring& path) {
  return extensions::MatchesExtensionText(path, ExtensionText());
}

}  // namespace zul
