// gen_fake_probe.dll: a general-purpose plug-in through which a test drives the
// Winamp window and the service API from inside zul.exe, the way a real
// plug-in calls them (same process, same thread, pointers into its own
// memory).
//
// init() creates a hidden top-level window of class "ZulProbe". A test sends
// it WM_COPYDATA (dwData kCommand) with one command line of ANSI text and
// wParam = the test's reply window. The command runs at once on zul's UI
// thread, the thread that called init(), and the answer goes back to the
// reply window as WM_COPYDATA (dwData kAnswer) before the request returns:
// "key=value" lines.
//
//   hello                        thread=ui|other, parent=<hwndParent>
//   ipc <wParam> <lParam>        reply=<SendMessage result>
//   wpath <lParam>               text=<the reply read as wchar_t*, in UTF-8>
//   command <id>                 WM_COMMAND id to the Winamp window; reply=
//   title                        text=<the Winamp window's title (ANSI)>
//   embed <width> <height>       calls the embedding function IPC_GET_EMBEDIF
//                                answers for wParam 0 with a window-state
//                                record whose r is (0, 0, width, height):
//                                function=<its address>, hwnd=<its result>,
//                                me=untouched|<what it wrote into me>
//   format <out_len> <spec>      IPC_FORMATTITLE with the tag table below:
//                                out, reply, terminated, asked (tag names in
//                                call order), given, freed, unfreed, stray,
//                                badcontext, guard (bytes past out_len)
//   extinfo <retlen> <name>      IPC_GET_EXTENDED_FILE_INFO: reply (record
//                                when it is the record's address), ret,
//                                terminated, written, retlen, guard
//   service                      ptr=<IPC_GET_API_SERVICE reply>
//   dispatch <object> <msg> <arg>...
//                                calls the object's _dispatch; each argument
//                                is a number (0x.. or decimal) or a {GUID};
//                                known=<result>, int=<first 4 result bytes>,
//                                ptr=<first pointer-size result bytes>,
//                                guid=<16 result bytes>; the result buffer
//                                starts as 0xAB bytes
//   factory {GUID}               ptr=<a waServiceFactory of this plug-in
//                                answering getGuid with that GUID>
// Pointers and ptr results are hexadecimal with as many digits as a pointer
// has (0x%08X, or 0x%016llX in the 64-bit build), int results 0x%08X, other
// numbers decimal.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "pluginhost/protocol/winamp_records.h"

using namespace zul;

#define EXPORT extern "C" __declspec(dllexport)

namespace {

// Winamp's IPC numbers, as a plug-in has them from the Winamp SDK.
constexpr LPARAM IPC_GET_EXTENDED_FILE_INFO = 290;
constexpr LPARAM IPC_FORMATTITLE = 297;
constexpr LPARAM IPC_GET_API_SERVICE = 3025;
constexpr LPARAM IPC_GET_EMBEDIF = 505;

constexpr ULONG_PTR kCommand = 0x50524F42;  // "PROB"
constexpr ULONG_PTR kAnswer = 0x414E5357;   // "ANSW"
constexpr wchar_t kWindowClass[] = L"ZulProbe";
constexpr char kCanary = static_cast<char>(0xCD);
constexpr size_t kGuardBytes = 32;

winampGeneralPurposePlugin plugin;
char description[] = "ZUL probe general plug-in";
HWND probeWindow = nullptr;

std::string Hex(const void* p) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%0*llX", static_cast<int>(2 * sizeof p),
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(p)));
  return text;
}

std::string GuidText(const GUID& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

bool ParseGuid(const std::string& text, GUID& g) {
  unsigned long d1 = 0;
  unsigned d2 = 0, d3 = 0, b[8] = {};
  if (std::sscanf(text.c_str(), "{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &d1, &d2, &d3, &b[0], &b[1], &b[2], &b[3],
                  &b[4], &b[5], &b[6], &b[7]) != 11)
    return false;
  g.Data1 = d1;
  g.Data2 = static_cast<unsigned short>(d2);
  g.Data3 = static_cast<unsigned short>(d3);
  for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<unsigned char>(b[i]);
  return true;
}

uintptr_t Number(const std::string& text) { return static_cast<uintptr_t>(std::strtoull(text.c_str(), nullptr, 0)); }

LRESULT Ipc(WPARAM w, LPARAM l) { return SendMessageW(plugin.hwndParent, WM_USER, w, l); }

// Whether the bytes from `from` to the end of the buffer still hold the canary.
bool GuardIntact(const std::vector<char>& buffer, size_t from) {
  for (size_t i = from; i < buffer.size(); ++i)
    if (buffer[i] != kCanary) return false;
  return true;
}

// The text of a caller's buffer of `len` bytes, and whether it is terminated
// within them.
std::string TextIn(const std::vector<char>& buffer, int len, bool& terminated) {
  const size_t room = len > 0 ? static_cast<size_t>(len) : 0;
  const void* nul = std::memchr(buffer.data(), '\0', room);
  terminated = nul != nullptr;
  return terminated ? std::string(buffer.data()) : std::string();
}

// ---- IPC_FORMATTITLE's tag source ------------------------------------------
// Every text handed out is a fresh heap copy the host must give back through
// the free function exactly once.
struct TagSource {
  std::vector<std::string> asked;
  std::set<char*> outstanding;
  int given = 0, freed = 0, stray = 0, badContext = 0;
} tags;

const char* TagValue(const char* name) {
  static const struct {
    const char* name;
    const char* value;
  } kTable[] = {{"artist", "Probe Artist"}, {"title", "Probe Title"}, {"album", ""}, {"track", "7"}};
  for (const auto& t : kTable)
    if (std::strcmp(t.name, name) == 0) return t.value;
  return nullptr;  // not in the table: the file has no such tag
}

char* __cdecl TagFunc(const char* tag, void* p) {
  if (p != &tags) ++tags.badContext;
  tags.asked.push_back(tag ? tag : "(null)");
  const char* value = tag ? TagValue(tag) : nullptr;
  if (!value) return nullptr;
  char* copy = static_cast<char*>(std::malloc(std::strlen(value) + 1));
  std::strcpy(copy, value);
  tags.outstanding.insert(copy);
  ++tags.given;
  return copy;
}

void __cdecl TagFreeFunc(char* tag, void* p) {
  if (p != &tags) ++tags.badContext;
  if (tags.outstanding.erase(tag) == 0) {
    ++tags.stray;  // not ours, or freed twice: never free it
    return;
  }
  ++tags.freed;
  std::free(tag);
}

std::string FormatTitleCommand(int outLen, const std::string& spec) {
  tags = TagSource{};
  std::vector<char> out(static_cast<size_t>(outLen > 0 ? outLen : 0) + kGuardBytes, kCanary);
  std::string specCopy = spec;
  waFormatTitle request{specCopy.data(), &tags, out.data(), outLen, &TagFunc, &TagFreeFunc};
  const LRESULT reply = Ipc(reinterpret_cast<WPARAM>(&request), IPC_FORMATTITLE);
  bool terminated = false;
  const std::string text = TextIn(out, outLen, terminated);
  std::string asked;
  for (const auto& a : tags.asked) asked += (asked.empty() ? "" : ",") + a;
  std::ostringstream answer;
  answer << "out=" << text << "\nreply=" << reply << "\nterminated=" << terminated << "\nasked=" << asked
         << "\ngiven=" << tags.given << "\nfreed=" << tags.freed << "\nunfreed=" << tags.outstanding.size()
         << "\nstray=" << tags.stray << "\nbadcontext=" << tags.badContext
         << "\nguard=" << (GuardIntact(out, static_cast<size_t>(outLen > 0 ? outLen : 0)) ? "intact" : "broken");
  for (char* left : tags.outstanding) std::free(left);
  tags.outstanding.clear();
  return answer.str();
}

// ---- IPC_GET_EXTENDED_FILE_INFO --------------------------------------------
std::string ExtendedInfoCommand(int retLen, const std::string& name) {
  std::vector<char> ret(static_cast<size_t>(retLen > 0 ? retLen : 0) + kGuardBytes, kCanary);
  // The host answers about the current entry whatever file is named here.
  extendedFileInfoStruct request{"Z:\\probe-not-the-current-file.mp3", name.c_str(), ret.data(), retLen};
  const LRESULT reply = Ipc(reinterpret_cast<WPARAM>(&request), IPC_GET_EXTENDED_FILE_INFO);
  bool terminated = false;
  const std::string text = TextIn(ret, retLen, terminated);
  std::ostringstream answer;
  answer << "reply=" << (reply == reinterpret_cast<LRESULT>(&request) ? std::string("record") : std::to_string(reply))
         << "\nret=" << text << "\nterminated=" << terminated << "\nwritten=" << !GuardIntact(ret, 0)
         << "\nretlen=" << request.retlen
         << "\nguard=" << (GuardIntact(ret, static_cast<size_t>(retLen > 0 ? retLen : 0)) ? "intact" : "broken");
  return answer.str();
}

// ---- IPC_GET_EMBEDIF -------------------------------------------------------
// The published window-state record: me, flags, r, then plug-in data.
struct EmbedWindowState {
  HWND me;
  int flags;
  RECT r;
  void* user_ptr;
  int extra_data[64];
};

std::string EmbedCommand(int width, int height) {
  using EmbedFn = HWND(__cdecl*)(EmbedWindowState*);
  const auto embed = reinterpret_cast<EmbedFn>(Ipc(0, IPC_GET_EMBEDIF));
  if (!embed) return "function=" + Hex(nullptr);
  const HWND untouched = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5EED));
  EmbedWindowState state{};
  state.me = untouched;
  state.r = RECT{0, 0, width, height};
  const HWND made = embed(&state);
  return "function=" + Hex(reinterpret_cast<void*>(embed)) + "\nhwnd=" + Hex(made) +
         "\nme=" + (state.me == untouched ? std::string("untouched") : Hex(state.me));
}

// ---- Wasabi dispatch -------------------------------------------------------
// Wasabi objects are MSVC objects: _dispatch is a member function (in the
// 32-bit build this in ECX, callee pops), the only entry of the table the
// object starts with.
using DispatchFn = int(ZUL_WASABI_CALL*)(void* self, int msg, void* retval, void** params, int nparams);
struct DispatchTable {
  DispatchFn dispatch;
};

int Dispatch(void* object, int msg, void* retval, void** params, int nparams) {
  return (*static_cast<const DispatchTable* const*>(object))->dispatch(object, msg, retval, params, nparams);
}

// A factory of the plug-in's own, as Wasabi plug-ins register them.
struct ProbeFactory {
  const DispatchTable* table;
  GUID guid;
};
int ZUL_WASABI_CALL ProbeFactoryDispatch(void* self, int msg, void* retval, void**, int) {
  if (msg != 210) return 0;  // getGuid is all the registry asks
  std::memcpy(retval, &static_cast<ProbeFactory*>(self)->guid, sizeof(GUID));
  return 1;
}
const DispatchTable kProbeFactoryTable{&ProbeFactoryDispatch};
std::deque<ProbeFactory> factories;  // stable addresses

std::string DispatchCommand(std::istringstream& words) {
  std::string objectText, msgText;
  words >> objectText >> msgText;
  void* object = reinterpret_cast<void*>(Number(objectText));
  if (!object) return "error=null object";
  union Slot {
    uintptr_t number;
    GUID guid;
  };
  std::vector<Slot> slots;
  for (std::string arg; words >> arg;) {
    Slot slot{};
    if (arg[0] == '{') {
      if (!ParseGuid(arg, slot.guid)) return "error=bad GUID " + arg;
    } else {
      slot.number = Number(arg);
    }
    slots.push_back(slot);
  }
  std::vector<void*> params;
  for (Slot& s : slots) params.push_back(&s);
  unsigned char result[16];
  std::memset(result, 0xAB, sizeof result);
  const int known = Dispatch(object, static_cast<int>(Number(msgText)), result,
                             params.empty() ? nullptr : params.data(), static_cast<int>(params.size()));
  uint32_t first;
  void* pointer;
  GUID asGuid;
  std::memcpy(&first, result, sizeof first);
  std::memcpy(&pointer, result, sizeof pointer);
  std::memcpy(&asGuid, result, sizeof asGuid);
  char firstText[16];
  std::snprintf(firstText, sizeof firstText, "0x%08X", static_cast<unsigned>(first));
  return "known=" + std::to_string(known) + "\nint=" + firstText + "\nptr=" + Hex(pointer) +
         "\nguid=" + GuidText(asGuid);
}

// ---- commands --------------------------------------------------------------
std::string Utf8(const wchar_t* text) {
  if (!text) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? static_cast<size_t>(n) : 1, '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(std::strlen(out.c_str()));
  return out;
}

// The rest of the line after `count` words, without the blank that ends them.
std::string RestAfterWords(const std::string& line, int count) {
  size_t at = 0;
  for (int i = 0; i < count; ++i) {
    at = line.find(' ', at);
    if (at == std::string::npos) return {};
    ++at;
  }
  return line.substr(at);
}

std::string Run(const std::string& line) {
  std::istringstream words(line);
  std::string verb;
  words >> verb;
  if (verb == "hello") {
    const bool ui = GetWindowThreadProcessId(plugin.hwndParent, nullptr) == GetCurrentThreadId();
    return std::string("thread=") + (ui ? "ui" : "other") + "\nparent=" + Hex(plugin.hwndParent);
  }
  if (verb == "ipc") {
    std::string w, l;
    words >> w >> l;
    return "reply=" + std::to_string(Ipc(Number(w), static_cast<LPARAM>(Number(l))));
  }
  if (verb == "wpath") {
    std::string l;
    words >> l;
    return "text=" + Utf8(reinterpret_cast<const wchar_t*>(Ipc(0, static_cast<LPARAM>(Number(l)))));
  }
  if (verb == "command") {
    std::string id;
    words >> id;
    return "reply=" + std::to_string(SendMessageW(plugin.hwndParent, WM_COMMAND, Number(id), 0));
  }
  if (verb == "title") {
    char text[1024] = {};
    GetWindowTextA(plugin.hwndParent, text, sizeof text);
    return std::string("text=") + text;
  }
  if (verb == "embed") {
    std::string width, height;
    words >> width >> height;
    return EmbedCommand(static_cast<int>(Number(width)), static_cast<int>(Number(height)));
  }
  if (verb == "format") {
    std::string len;
    words >> len;
    return FormatTitleCommand(static_cast<int>(Number(len)), RestAfterWords(line, 2));
  }
  if (verb == "extinfo") {
    std::string len;
    words >> len;
    return ExtendedInfoCommand(static_cast<int>(Number(len)), RestAfterWords(line, 2));
  }
  if (verb == "service") return "ptr=" + Hex(reinterpret_cast<void*>(Ipc(0, IPC_GET_API_SERVICE)));
  if (verb == "dispatch") return DispatchCommand(words);
  if (verb == "factory") {
    std::string text;
    words >> text;
    GUID guid{};
    if (!ParseGuid(text, guid)) return "error=bad GUID " + text;
    factories.push_back(ProbeFactory{&kProbeFactoryTable, guid});
    return "ptr=" + Hex(&factories.back());
  }
  return "error=unknown command " + verb;
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data || data->dwData != kCommand || !data->lpData) return FALSE;
    std::string line(static_cast<const char*>(data->lpData), data->cbData);
    line.resize(std::strlen(line.c_str()));
    const std::string answer = Run(line);
    COPYDATASTRUCT reply{kAnswer, static_cast<DWORD>(answer.size()), const_cast<char*>(answer.data())};
    SendMessageW(reinterpret_cast<HWND>(wParam), WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd),
                 reinterpret_cast<LPARAM>(&reply));
    return TRUE;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int __cdecl Init() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ProbeProc;
  wc.hInstance = plugin.hDllInstance;
  wc.lpszClassName = kWindowClass;
  RegisterClassW(&wc);
  probeWindow = CreateWindowExW(0, kWindowClass, L"ZUL probe", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                plugin.hDllInstance, nullptr);
  return 0;
}

void __cdecl Config() {}

void __cdecl Quit() {
  // The registry keeps the pointers it is given: take our factories back
  // before the DLL goes away.
  if (void* service = reinterpret_cast<void*>(Ipc(0, IPC_GET_API_SERVICE))) {
    for (ProbeFactory& f : factories) {
      void* factory = &f;
      void* params[] = {&factory};
      int ignored = 0;
      Dispatch(service, 20, &ignored, params, 1);
    }
  }
  factories.clear();
  if (probeWindow) DestroyWindow(probeWindow);
  probeWindow = nullptr;
  UnregisterClassW(kWindowClass, plugin.hDllInstance);
}

}  // namespace

EXPORT winampGeneralPurposePlugin* winampGetGeneralPurposePlugin() {
  plugin = winampGeneralPurposePlugin{};
  plugin.version = 0x10;
  plugin.description = description;
  plugin.init = &Init;
  plugin.config = &Config;
  plugin.quit = &Quit;
  return &plugin;
}
