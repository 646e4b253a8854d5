// The Wasabi service objects called exactly as a plug-in calls them: through
// the object's one-entry table with the member-call convention.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>

#include "pluginhost/services/service_api.h"

namespace zul {
namespace {

using DispatchFn = int(__attribute__((thiscall)) *)(void* self, int msg, void* retval, void** params, int nparams);

int Call(void* object, int msg, void* retval, std::initializer_list<void*> args = {}) {
  auto* table = *static_cast<DispatchFn* const*>(object);
  void* params[8] = {};
  int n = 0;
  for (void* a : args) params[n++] = a;
  return table[0](object, msg, retval, params, n);
}

void* ServiceByGuid(const GUID& guid) {
  void* result = nullptr;
  GUID copy = guid;
  EXPECT_EQ(Call(ApiServiceObject(), 50, &result, {&copy}), 1);
  return result;
}

GUID FactoryGuid(void* factory) {
  GUID g{};
  EXPECT_EQ(Call(factory, 210, &g), 1);
  return g;
}

TEST(ServiceApi, UnknownGuidsGetOneStubFactoryEach) {
  const GUID fresh = {0x12345678, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};
  void* first = ServiceByGuid(fresh);
  ASSERT_NE(first, nullptr);
  const GUID answered = FactoryGuid(first);
  EXPECT_EQ(std::memcmp(&fresh, &answered, sizeof(GUID)), 0);
  EXPECT_EQ(ServiceByGuid(fresh), first);
  // Its interface is a config object whose group answers no items.
  void* config = nullptr;
  ASSERT_EQ(Call(first, 300, &config), 1);
  void* group = nullptr;
  GUID any{};
  ASSERT_EQ(Call(config, 10, &group, {&any}), 1);
  void* item = reinterpret_cast<void*>(0x1234);
  const char* name = "volume";
  EXPECT_EQ(Call(group, 10, &item, {&name}), 1);
  EXPECT_EQ(item, nullptr);
}

TEST(ServiceApi, FixedServicesAndNeutralAnswers) {
  const GUID application = {0x23B96771, 0x09D7, 0x46D3, {0x9A, 0xE2, 0x20, 0xDC, 0xEA, 0x6C, 0x86, 0xEA}};
  const GUID config = {0xAEFBF8BE, 0xE0AA, 0x4318, {0x8C, 0xC1, 0x43, 0x53, 0x41, 0x0B, 0x64, 0xDC}};
  void* app = ServiceByGuid(application);
  // _main_getAppName answers a null pointer, full width: an int here would be
  // overrun on x64.
  void* name = &app;
  EXPECT_EQ(Call(app, 10, &name), 1);
  EXPECT_EQ(name, nullptr);
  GUID guid = config;
  EXPECT_EQ(Call(app, 40, &guid), 1);  // _main_getGUID: all zero
  const GUID zero{};
  EXPECT_EQ(std::memcmp(&guid, &zero, sizeof guid), 0);

  void* configFactory = ServiceByGuid(config);
  void* enumerated = nullptr;
  int type = 5, index = 99;
  EXPECT_EQ(Call(ApiServiceObject(), 40, &enumerated, {&type, &index}), 1);
  EXPECT_EQ(enumerated, configFactory);
  int count = 0;
  EXPECT_EQ(Call(ApiServiceObject(), 30, &count, {&type}), 1);
  EXPECT_EQ(count, 1);
  // Unknown messages leave the caller's default alone.
  int untouched = 42;
  EXPECT_EQ(Call(ApiServiceObject(), 999, &untouched), 0);
  EXPECT_EQ(Call(app, 300, &untouched), 0);
  EXPECT_EQ(untouched, 42);
  // The playlist manager's _CanLoad stores a one-byte false.
  const GUID playlist = {0xC5618774, 0x7177, 0x43AA, {0x99, 0x06, 0x93, 0x3C, 0x9F, 0x40, 0xEB, 0xDC}};
  unsigned char canLoad[4] = {1, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(Call(ServiceByGuid(playlist), 120, canLoad), 1);
  EXPECT_EQ(canLoad[0], 0);
  EXPECT_EQ(canLoad[1], 0xAA);
}

// A factory as a plug-in would build it.
struct PluginFactory {
  const DispatchFn* table;
  GUID guid;
};
int __attribute__((thiscall)) PluginFactoryDispatch(void* self, int msg, void* retval, void**, int) {
  if (msg != 210) return 0;
  std::memcpy(retval, &static_cast<PluginFactory*>(self)->guid, sizeof(GUID));
  return 1;
}
const DispatchFn kPluginTable[1] = {&PluginFactoryDispatch};

TEST(ServiceApi, PluginFactoriesAreFoundUntilDeregistered) {
  PluginFactory factory{kPluginTable, {0xCAFE0001, 1, 2, {9, 9, 9, 9, 9, 9, 9, 9}}};
  void* pointer = &factory;
  int ok = 0;
  ASSERT_EQ(Call(ApiServiceObject(), 10, &ok, {&pointer}), 1);
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(ServiceByGuid(factory.guid), &factory);
  ASSERT_EQ(Call(ApiServiceObject(), 20, &ok, {&pointer}), 1);
  void* after = ServiceByGuid(factory.guid);
  EXPECT_NE(after, &factory);  // a stub factory of ours now
  const GUID answered = FactoryGuid(after);
  EXPECT_EQ(std::memcmp(&factory.guid, &answered, sizeof(GUID)), 0);
}

TEST(ServiceApi, GuidTextAndServiceTypeNames) {
  char text[40];
  FormatGuid(GUID{0xAEFBF8BE, 0xE0AA, 0x4318, {0x8C, 0xC1, 0x43, 0x53, 0x41, 0x0B, 0x64, 0xDC}}, text);
  EXPECT_STREQ(text, "{AEFBF8BE-E0AA-4318-8CC1-4353410B64DC}");
  // {xxxxxxxx-E2A5-7845-9D03-35B8D0C1BAC7}
  const unsigned char tail[8] = {0x9D, 0x03, 0x35, 0xB8, 0xD0, 0xC1, 0xBA, 0xC7};
  GUID key{};
  key.Data2 = 0xE2A5;
  key.Data3 = 0x7845;
  std::memcpy(key.Data4, tail, 8);
  key.Data1 = ('m' << 24) | ('a' << 16) | ('k' << 8) | 'i';
  EXPECT_STREQ(ServiceTypeName(key), "SCRIPTOBJECT");
  key.Data1 = ('a' << 16) | ('c' << 8) | 't';
  EXPECT_STREQ(ServiceTypeName(key), "ACTION");
  key.Data3 = 0x7846;
  EXPECT_EQ(ServiceTypeName(key), nullptr);
}

}  // namespace
}  // namespace zul
