#include "pluginhost/services/service_api.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "base/console_log.h"
#include "pluginhost/protocol/winamp_records.h"

namespace zul {
namespace {

// The one-entry dispatch table every object starts with. In the 32-bit build
// thiscall puts the object in ECX as Wasabi plug-ins (built with MSVC) expect.
using DispatchFn = int(ZUL_WASABI_CALL*)(void* self, int msg, void* retval, void** params, int nparams);
struct DispatchTable {
  DispatchFn dispatch;
};

template <typename T>
T Arg(void** params, int nparams, int i) {
  if (!params || i >= nparams || !params[i]) return T{};
  return *static_cast<T*>(params[i]);
}

template <typename T>
void Store(void* retval, const T& value) {
  if (retval) std::memcpy(retval, &value, sizeof value);
}

constexpr GUID kConfigGuid = {0xAEFBF8BE, 0xE0AA, 0x4318, {0x8C, 0xC1, 0x43, 0x53, 0x41, 0x0B, 0x64, 0xDC}};
constexpr GUID kPlaylistManagerGuid = {0xC5618774, 0x7177, 0x43AA, {0x99, 0x06, 0x93, 0x3C, 0x9F, 0x40, 0xEB, 0xDC}};
constexpr GUID kApplicationGuid = {0x23B96771, 0x09D7, 0x46D3, {0x9A, 0xE2, 0x20, 0xDC, 0xEA, 0x6C, 0x86, 0xEA}};

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// ---- api_configgroup -------------------------------------------------------
struct CConfigGroup {
  const DispatchTable* table;
};
int ZUL_WASABI_CALL ConfigGroupDispatch(void*, int msg, void* retval, void**, int) {
  if (msg != 10) return 0;
  ZUL_LOG(L"GetItem");
  Store<void*>(retval, nullptr);
  return 1;
}
const DispatchTable kConfigGroupTable{&ConfigGroupDispatch};
CConfigGroup g_configGroup{&kConfigGroupTable};

// ---- api_config ------------------------------------------------------------
struct CConfig {
  const DispatchTable* table;
};
int ZUL_WASABI_CALL ConfigDispatch(void*, int msg, void* retval, void**, int) {
  switch (msg) {
    case 10:
      ZUL_LOG(L"_GetGroup");
      Store<void*>(retval, &g_configGroup);
      return 1;
    case 20:
      ZUL_LOG(L"_RegisterGroup");
      return 1;
  }
  return 0;
}
const DispatchTable kConfigTable{&ConfigDispatch};

// ---- waServiceFactory ------------------------------------------------------
struct CFactory {
  const DispatchTable* table;
  CConfig config;
  GUID guid;
};
int ZUL_WASABI_CALL FactoryDispatch(void* self, int msg, void* retval, void**, int) {
  auto* factory = static_cast<CFactory*>(self);
  switch (msg) {
    case 100:
      ZUL_LOG(L"_getServiceType");
      Store<int>(retval, 1);
      return 1;
    case 200:
      ZUL_LOG(L"_getServiceName");
      Store<const char*>(retval, nullptr);
      return 1;
    case 210:
      ZUL_LOG(L"_getGuid");
      Store<GUID>(retval, factory->guid);
      return 1;
    case 300:
      ZUL_LOG(L"_getInterface");
      Store<void*>(retval, &factory->config);
      return 1;
    case 301:
      ZUL_LOG(L"_supportNonLockingGetInterface");
      Store<int>(retval, 1);
      return 1;
    case 310:
      ZUL_LOG(L"_releaseInterface");
      Store<int>(retval, 1);
      return 1;
    case 500:
      ZUL_LOG(L"_getTestString");
      Store<const char*>(retval, nullptr);
      return 1;
    case 600:
      ZUL_LOG(L"_serviceNotify");
      Store<int>(retval, 1);
      return 1;
  }
  return 0;
}
const DispatchTable kFactoryTable{&FactoryDispatch};

CFactory* NewFactory(const GUID& guid) { return new CFactory{&kFactoryTable, CConfig{&kConfigTable}, guid}; }

// Asks any factory (ours or a plug-in's) for its GUID through its own table.
GUID FactoryGuid(void* factory) {
  GUID guid{};
  if (!factory) return guid;
  auto* table = *static_cast<const DispatchTable* const*>(factory);
  table->dispatch(factory, 210, &guid, nullptr, 0);
  return guid;
}

// ---- api_application -------------------------------------------------------
struct CApplication {
  const DispatchTable* table;
};
int ZUL_WASABI_CALL ApplicationDispatch(void*, int msg, void* retval, void**, int) {
  struct Method {
    int msg;
    const wchar_t* name;
    int result;  // 0 none, 1 int 0, 2 null GUID, 4 null pointer (texts, handles)
  };
  static const Method kMethods[] = {
      {10, L"_main_getAppName", 4},
      {20, L"_main_getVersionString", 4},
      {21, L"_main_getVersionNumString", 4},
      {30, L"_main_getBuildNumber", 1},
      {40, L"_main_getGUID", 2},
      {50, L"_main_getMainThreadHandle", 4},
      {60, L"_main_gethInstance", 4},
      {70, L"_main_getCommandLine", 4},
      {80, L"_main_shutdown", 0},
      {90, L"_main_cancelShutdown", 0},
      {100, L"_main_isShuttingDown", 1},
      {110, L"_path_getAppPath", 4},
      {120, L"_path_getUserSettingsPath", 4},
      {130, L"_app_getInitCount", 1},
      {140, L"_app_messageLoopStep", 1},
      {150, L"_app_addMessageProcessor", 0},
      {160, L"_app_removeMessageProcessor", 0},
      {170, L"_app_addModelessDialog", 0},
      {180, L"_app_removeModelessDialog", 0},
  };
  for (const Method& m : kMethods) {
    if (m.msg != msg) continue;
    ZUL_LOG(L"%s", m.name);
    if (m.result == 1) Store<int>(retval, 0);
    if (m.result == 2) Store<GUID>(retval, GUID{});
    if (m.result == 4) Store<void*>(retval, nullptr);  // all 8 bytes in the 64-bit build
    return 1;
  }
  return 0;
}
const DispatchTable kApplicationTable{&ApplicationDispatch};

// ---- api_playlistmanager ---------------------------------------------------
struct CPlaylist {
  const DispatchTable* table;
};
int ZUL_WASABI_CALL PlaylistDispatch(void*, int msg, void* retval, void**, int) {
  struct Method {
    int msg;
    const wchar_t* name;
    int result;  // 0 none stored, 1 int 0, 3 one-byte false, 4 pointer-size 0 (size_t, texts)
  };
  static const Method kMethods[] = {
      {10, L"_Load", 1},
      {11, L"_LoadFromDialog", 1},
      {12, L"_LoadFromANSIDialog", 1},
      {13, L"_LoadAs", 1},
      {20, L"_Save", 1},
      {30, L"_Copy", 1},
      {40, L"_CountItems", 4},
      {50, L"_GetLengthMilliseconds", 1},
      {60, L"_LoadDirectory", 0},
      {100, L"_Randomize", 0},
      {110, L"_Reverse", 0},
      {120, L"_CanLoad", 3},
      {130, L"_GetExtensionList", 0},
      {140, L"_GetFilterList", 0},
      {150, L"_EnumExtension", 4},
  };
  for (const Method& m : kMethods) {
    if (m.msg != msg) continue;
    ZUL_LOG(L"%s", m.name);
    if (m.result == 1) Store<int>(retval, 0);
    if (m.result == 3) Store<bool>(retval, false);
    if (m.result == 4) Store<void*>(retval, nullptr);
    return 1;
  }
  return 0;
}
const DispatchTable kPlaylistTable{&PlaylistDispatch};

// ---- api_service -----------------------------------------------------------
struct CService {
  const DispatchTable* table;
};

// The process-wide block; the service manager comes first because
// IPC_GET_API_SERVICE answers the block's address.
struct ServiceBlock {
  CService service;
  CPlaylist playlist;
  CFactory* configFactory;
  CApplication application;
  std::vector<void*> registry;                          // factories in registration order
  std::vector<std::unique_ptr<CFactory>> ownFactories;  // stubs we created

  ~ServiceBlock() {
    registry.clear();
    delete configFactory;
  }
};
ServiceBlock& Block();

void Register(void* factory) {
  char text[40];
  FormatGuid(FactoryGuid(factory), text);
  ZUL_LOG(L"_register %hs", text);
  Block().registry.push_back(factory);
}

void* GetServiceByGuid(const GUID& guid) {
  char text[40];
  FormatGuid(guid, text);
  ZUL_LOG(L"_getServiceByGuid %hs", text);
  ServiceBlock& block = Block();
  if (SameGuid(guid, kConfigGuid)) return block.configFactory;
  if (SameGuid(guid, kPlaylistManagerGuid)) return &block.playlist;
  if (SameGuid(guid, kApplicationGuid)) return &block.application;
  for (void* factory : block.registry)
    if (SameGuid(FactoryGuid(factory), guid)) return factory;
  if (const char* type = ServiceTypeName(guid)) ZUL_LOG(L"%hs", type);
  // Unknown services get a stub factory, registered so that the next request
  // for the same GUID finds it.
  block.ownFactories.push_back(std::unique_ptr<CFactory>(NewFactory(guid)));
  Register(block.ownFactories.back().get());
  return block.ownFactories.back().get();
}

int ZUL_WASABI_CALL ServiceDispatch(void*, int msg, void* retval, void** params, int nparams) {
  ServiceBlock& block = Block();
  switch (msg) {
    case 10:
      Register(Arg<void*>(params, nparams, 0));
      Store<int>(retval, 1);
      return 1;
    case 20: {
      ZUL_LOG(L"_deregister");
      void* factory = Arg<void*>(params, nparams, 0);
      for (auto it = block.registry.begin(); it != block.registry.end(); ++it) {
        if (*it == factory) {
          block.registry.erase(it);
          break;
        }
      }
      Store<int>(retval, 1);
      return 1;
    }
    case 30:
      ZUL_LOG(L"_getNumServices");
      Store<int>(retval, 1);
      return 1;
    case 40:
      ZUL_LOG(L"_enumService");
      Store<void*>(retval, block.configFactory);
      return 1;
    case 50:
      Store<void*>(retval, GetServiceByGuid(Arg<GUID>(params, nparams, 0)));
      return 1;
    case 60:
      ZUL_LOG(L"_lock");
      Store<int>(retval, 1);
      return 1;
    case 70:
      ZUL_LOG(L"_clientLock");
      Store<int>(retval, 1);
      return 1;
    case 80:
      ZUL_LOG(L"_release");
      Store<int>(retval, 1);
      return 1;
    case 90:
      ZUL_LOG(L"_getTypeName");
      Store<const char*>(retval, nullptr);
      return 1;
    case 120:
      ZUL_LOG(L"_unlock");
      Store<int>(retval, 1);
      return 1;
    case 130:
      ZUL_LOG(L"_isvalid");
      Store<int>(retval, 1);
      return 1;
  }
  return 0;
}
const DispatchTable kServiceTable{&ServiceDispatch};

// Built on first use (plug-ins ask only after start-up) and kept for the
// whole process.
ServiceBlock& Block() {
  static ServiceBlock block{CService{&kServiceTable},
                            CPlaylist{&kPlaylistTable},
                            NewFactory(kConfigGuid),
                            CApplication{&kApplicationTable},
                            {},
                            {}};
  return block;
}

}  // namespace

void* ApiServiceObject() { return &Block().service; }

void FormatGuid(const GUID& g, char out[40]) {
  std::snprintf(out, 40, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned long>(g.Data1),
                g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                g.Data4[7]);
}

const char* ServiceTypeName(const GUID& guid) {
  // Service-type keys: a four-character code in Data1 (first character in
  // the high byte) and the fixed tail E2A5-7845-9D03-35B8D0C1BAC7.
  static const unsigned char kTail[8] = {0x9D, 0x03, 0x35, 0xB8, 0xD0, 0xC1, 0xBA, 0xC7};
  if (guid.Data2 != 0xE2A5 || guid.Data3 != 0x7845 || std::memcmp(guid.Data4, kTail, 8) != 0) return nullptr;
  struct Type {
    const char* name;
    const char code[5];
  };
  static const Type kTypes[] = {
      {"ACCESSIBILITY", "accs"},
      {"ACCESSIBILITYROLESERVER", "acrs"},
      {"COLLECTION", "cltn"},
      {"CONTEXTCMD", "ccmd"},
      {"DB", "dbse"},
      {"EVALUATOR", "eval"},
      {"FILESELECTOR", "fsel"},
      {"ITEMMANAGER", "itmg"},
      {"METADATA", "meta"},
      {"MINIBROWSER", "brws"},
      {"OBJECTDIR", "objd"},
      {"PLAYLISTREADER", "plrd"},
      {"PLAYLISTWRITER", "plwt"},
      {"STORAGEVOLENUM", "svne"},
      {"TOOLTIPSRENDERER", "ttip"},
      {"WINDOWCREATE", "wndc"},
      {"UNIQUE", "uniq"},
      {"IMAGELOADER", "imgl"},
      {"FONTRENDER", "font"},
      {"STRINGCONVERTER", "utf8"},
      {"XMLPROVIDER", "xmlp"},
      {"REDIRECT", "redr"},
      {"IMAGEGENERATOR", "imgn"},
      {"ACTION", "\0act"},
      {"SRCCLASSFACTORY", "clfa"},
      {"FILEREADER", "fsrd"},
      {"SKINFILTER", "fltr"},
      {"XUIOBJECT", "xuio"},
      {"DROPTARGET", "drop"},
      {"SCRIPTOBJECT", "maki"},
      {"NONE", "none"},
  };
  for (const Type& t : kTypes) {
    unsigned long code = (static_cast<unsigned long>(static_cast<unsigned char>(t.code[0])) << 24) |
                         (static_cast<unsigned long>(static_cast<unsigned char>(t.code[1])) << 16) |
                         (static_cast<unsigned long>(static_cast<unsigned char>(t.code[2])) << 8) |
                         static_cast<unsigned long>(static_cast<unsigned char>(t.code[3]));
    if (guid.Data1 == code) return t.name;
  }
  return nullptr;
}

}  // namespace zul
