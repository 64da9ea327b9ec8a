#include "service/host/service_setup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "service/platform/service_manager.h"
#include "service/tests/scratch_folder.h"
#include "service/tests/service_record.h"
#include "testing/orvosvr/systemctl_standin.h"

namespace host {
namespace {

using testing_support::EnvScope;
using testing_support::SystemctlStandIn;

const std::string kUnit = "Orvo\\x20Server\\x20\\x2d\\x20Northmoor.service";

class ServiceSetup : public testing_support::ScratchFolder {
 public:
  void SetUp() override {
    ScratchFolder::SetUp();
    names_ = std::make_unique<testing_support::ServiceRecordScope>("Northmoor");
    NewCase();
  }
  void TearDown() override {
    units_.reset();
    path_.reset();
    names_.reset();
    ScratchFolder::TearDown();
  }
  // A stand-in systemctl on PATH and a unit folder, both new and empty.
  void NewCase() {
    case_ = folder_ / ("case" + std::to_string(cases_++));
    standin_ = std::make_unique<SystemctlStandIn>(case_);
    std::filesystem::create_directories(case_ / "units");
    std::filesystem::create_directories(case_ / "empty");
    SetPath(standin_->bin());
    SetUnitFolder(case_ / "units");
  }
  // Each scope puts back what was there before it, so the old one goes first.
  void SetPath(const std::string& value) {
    path_.reset();
    path_ = std::make_unique<EnvScope>("PATH", value);
  }
  void SetUnitFolder(const std::filesystem::path& folder) {
    units_.reset();
    units_ = std::make_unique<EnvScope>("ORVOSVR_UNIT_DIR", folder.string());
  }
  // What `action` printed on standard output.
  static std::string Printed(const std::function<void()>& action) {
    ::testing::internal::CaptureStdout();
    action();
    return ::testing::internal::GetCapturedStdout();
  }
  std::filesystem::path UnitPath() const { return case_ / "units" / kUnit; }
  bool UnitExists() const { return std::filesystem::exists(UnitPath()); }
  void WriteUnit(const std::string& text) const { std::ofstream(UnitPath()) << text; }
  std::string ReadUnit() const {
    std::ifstream in(UnitPath());
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void WithoutSystemctl() { SetPath((case_ / "empty").string()); }

  std::filesystem::path case_;
  int cases_ = 0;
  std::unique_ptr<testing_support::ServiceRecordScope> names_;
  std::unique_ptr<SystemctlStandIn> standin_;
  std::unique_ptr<EnvScope> path_;
  std::unique_ptr<EnvScope> units_;
};

TEST_F(ServiceSetup, InstallFailuresPrintTheSystemsTextAndLeaveNoUnit) {
  struct Case {
    const char* name;
    std::function<void(ServiceSetup&)> arrange;
    std::string want;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"no systemctl", [](ServiceSetup& t) { t.WithoutSystemctl(); },
       "OpenSCManager() failed - No such file or directory (0x2)\n", {}},
      {"manager unreachable",
       [](ServiceSetup& t) { t.standin_->Fail("--version", "Failed to connect to bus: No such file or directory"); },
       "OpenSCManager() failed - Failed to connect to bus: No such file or directory (0x1)\n", {"--version"}},
      {"unit folder missing",
       [](ServiceSetup& t) { t.SetUnitFolder(t.case_ / "gone"); },
       "CreateService() failed - No such file or directory (0x2)\n", {"--version"}},
      {"manager not running",
       [](ServiceSetup& t) {
         t.standin_->Fail("daemon-reload", "System has not been booted with systemd as init system (PID 1). Can't operate.");
       },
       "CreateService() failed - System has not been booted with systemd as init system (PID 1). Can't operate. (0x1)\n",
       {"--version", "daemon-reload", "daemon-reload"}},
      {"enable refused", [](ServiceSetup& t) { t.standin_->Fail("enable", "Failed to enable unit: Access denied"); },
       "CreateService() failed - Failed to enable unit: Access denied (0x1)\n",
       {"--version", "daemon-reload", "enable " + kUnit, "daemon-reload"}},
  };
  for (const Case& c : cases) {
    NewCase();
    c.arrange(*this);
    EXPECT_EQ(Printed(InstallService), c.want) << c.name;
    EXPECT_FALSE(UnitExists()) << c.name;
    EXPECT_EQ(standin_->Calls(), c.calls) << c.name;
  }
}

TEST_F(ServiceSetup, InstallNeverReplacesAnInstalledUnit) {
  WriteUnit("[Unit]\nDescription=the one installed before\n");
  EXPECT_EQ(Printed(InstallService), "CreateService() failed - File exists (0x11)\n");
  EXPECT_EQ(ReadUnit(), "[Unit]\nDescription=the one installed before\n");
  EXPECT_EQ(standin_->Calls(), (std::vector<std::string>{"--version"}));
}

TEST_F(ServiceSetup, RemoveWithoutStopping) {
  const std::string show = "show --property=ActiveState --value " + kUnit;
  struct Case {
    const char* name;
    std::function<void(ServiceSetup&)> arrange;
    std::string want;
    bool unit_left;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"stopped service", [](ServiceSetup& t) { t.standin_->QueueStates({"inactive"}); },
       "Orvo Server - Northmoor has been removed.\n", false, {"--version", show, "disable " + kUnit, "daemon-reload"}},
      {"disable refused",
       [](ServiceSetup& t) { t.standin_->Fail("disable", "Failed to disable unit: Access denied"); },
       "DeleteService() failed - Failed to disable unit: Access denied (0x1)\n", true,
       {"--version", show, "disable " + kUnit}},
      {"no systemctl", [](ServiceSetup& t) { t.WithoutSystemctl(); },
       "OpenSCManager() failed - No such file or directory (0x2)\n", true, {}},
  };
  for (const Case& c : cases) {
    NewCase();
    WriteUnit("[Unit]\n");
    c.arrange(*this);
    EXPECT_EQ(Printed(RemoveService), c.want) << c.name;
    EXPECT_EQ(UnitExists(), c.unit_left) << c.name;
    EXPECT_EQ(standin_->Calls(), c.calls) << c.name;
  }
}

TEST_F(ServiceSetup, RemoveWaitsWhileTheServiceStops) {
  struct Case {
    const char* name;
    std::vector<std::string> states;  // before the stop, then at each look one second apart
    std::string want;
  };
  const Case cases[] = {
      {"stops after a while", {"active", "deactivating", "inactive"},
       "Stopping orvosvr..\norvosvr has stopped.\nOrvo Server - Northmoor has been removed.\n"},
      {"keeps running", {"active", "active"},
       "Stopping orvosvr.\norvosvr failed to stop.\nOrvo Server - Northmoor has been removed.\n"},
  };
  for (const Case& c : cases) {
    NewCase();
    WriteUnit("[Unit]\n");
    standin_->QueueStates(c.states);
    EXPECT_EQ(Printed(RemoveService), c.want) << c.name;
    EXPECT_FALSE(UnitExists()) << c.name;
    std::vector<std::string> calls = standin_->Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "stop --no-block " + kUnit), 1) << c.name;
  }
}

}  // namespace
}  // namespace host
