#include <windows.h>

#include <gtest/gtest.h>

#include "service/platform/last_error.h"
#include "service/platform/service_manager.h"

namespace platform {
namespace {

std::string TestName(const std::string& tail) {
  return "Orvo Server test " + std::to_string(::GetCurrentProcessId()) + " " + tail;
}

TEST(ServiceManagerOnWindows, AServiceThatIsNotInstalled) {
  std::string name = TestName("missing");
  EXPECT_EQ(ServiceUnitName(name), name);
  ASSERT_TRUE(OpenServiceManager());
  struct Case {
    const char* call;
    bool result;
  };
  const Case cases[] = {
      {"find", FindServiceUnit(name)},     {"open", OpenServiceUnit(name)},
      {"start", StartServiceUnit(name)},   {"stop", StopServiceUnit(name)},
      {"delete", DeleteServiceUnit(name)}, {"query", QueryServiceUnit(name) != 0},
  };
  for (const Case& c : cases) EXPECT_FALSE(c.result) << c.call;
  EXPECT_EQ(LastError(), ERROR_SERVICE_DOES_NOT_EXIST);
}

TEST(ServiceManagerOnWindows, CreateQuotesThePathAndNeverReplaces) {
  ServiceDefinition service{TestName("create"), "C:\\Program Files\\Moor\\orvosvr.exe", "C:\\Program Files\\Moor"};
  ASSERT_TRUE(CreateServiceUnit(service));
  EXPECT_FALSE(CreateServiceUnit(service));
  EXPECT_EQ(LastError(), ERROR_SERVICE_EXISTS);
  EXPECT_TRUE(FindServiceUnit(service.name));
  EXPECT_EQ(QueryServiceUnit(service.name), 1u);  // stopped
  EXPECT_FALSE(StopServiceUnit(service.name));     // not running
  EXPECT_EQ(LastError(), ERROR_SERVICE_NOT_ACTIVE);

  SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE created = ::OpenServiceA(manager, service.name.c_str(), SERVICE_QUERY_CONFIG);
  ASSERT_NE(created, nullptr);
  DWORD size = 0;
  ::QueryServiceConfigA(created, nullptr, 0, &size);
  std::vector<char> buffer(size);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
  ASSERT_TRUE(::QueryServiceConfigA(created, config, size, &size));
  // Unquoted, the manager would look for "C:\Program.exe" first.
  EXPECT_EQ(std::string(config->lpBinaryPathName), "\"C:\\Program Files\\Moor\\orvosvr.exe\"");
  EXPECT_EQ(config->dwStartType, static_cast<DWORD>(SERVICE_AUTO_START));
  ::CloseServiceHandle(created);
  ::CloseServiceHandle(manager);

  EXPECT_TRUE(DeleteServiceUnit(service.name));
  EXPECT_FALSE(FindServiceUnit(service.name));
}

TEST(ServiceManagerOnWindows, TheWorkingPathIsAString) {
  std::string name = TestName("parameters");
  ASSERT_EQ(RecordWorkingPath(name, "C:\\games\\moor"), 0);
  std::string key = "System\\CurrentControlSet\\Services\\" + name + "\\Parameters";
  HKEY h = nullptr;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h), ERROR_SUCCESS);
  // The service hands over the folder without its terminator; the registry's
  // ANSI call takes in the terminator that follows it in memory all the same.
  wchar_t data[64] = {};
  DWORD size = sizeof data;
  DWORD type = 0;
  EXPECT_EQ(::RegQueryValueExW(h, L"WorkingPath", nullptr, &type, reinterpret_cast<BYTE*>(data), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(data), L"C:\\games\\moor");
  EXPECT_LE(size, 14 * sizeof(wchar_t));
  ::RegCloseKey(h);
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, ("System\\CurrentControlSet\\Services\\" + name).c_str());
}

}  // namespace
}  // namespace platform
