// Every test process logs into a folder of its own, under an output mutex of
// its own, so that tests can read back exactly what they logged.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "service/host/config.h"
#include "service/host/log.h"
#include "service/host/service_control.h"

namespace {

class ServiceTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("orvosvr-test-log-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    host::Service().server_name = "test-" + std::to_string(::getpid());
    host::Config().log_directory = folder_.string();
    host::Config().receive_timeout = 300;
    host::CreateOutputMutex();
  }
  void TearDown() override {
    host::DestroyOutputMutex();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
    std::filesystem::remove(platform_lock(), ec);
  }

 private:
  static std::string platform_lock();
  std::filesystem::path folder_;
};

}  // namespace

#include "service/platform/named_mutex.h"

std::string ServiceTestEnvironment::platform_lock() { return platform::NamedMutexPath(host::OutputMutexName()); }

[[maybe_unused]] static ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new ServiceTestEnvironment);
