#include "service/host/service_dispatch.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "service/host/config.h"
#include "service/host/service_control.h"
#include "service/host/text_lines.h"
#include "service/platform/event_log.h"
#include "service/platform/instance_lock.h"
#include "service/platform/notify.h"
#include "service/protocol/listener.h"
#include "service/tests/notify_socket.h"
#include "service/tests/scratch_folder.h"
#include "service/tests/service_record.h"

namespace host {
namespace {

using testing_support::NotifySocket;

// The service's events as "type|text": E error, W warning, I information.
class SystemLog {
 public:
  SystemLog() {
    platform::SetEventHook([this](const std::string&, platform::EventType type, const std::string& text) {
      const char* mark = type == platform::EventType::kError ? "E" : type == platform::EventType::kWarning ? "W" : "I";
      std::lock_guard<std::mutex> lock(mutex_);
      events_.push_back(std::string(mark) + "|" + text);
      written_.notify_all();
    });
  }
  ~SystemLog() { platform::SetEventHook(nullptr); }
  std::vector<std::string> Events() {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
  }
  // Waits until `count` events have been written; false when they never are.
  bool WaitForEvents(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return written_.wait_for(lock, std::chrono::seconds(10), [&] { return events_.size() >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable written_;
  std::vector<std::string> events_;
};

class ServiceDispatch : public testing_support::ScratchFolder {
 public:
  void SetUp() override {
    ScratchFolder::SetUp();
    log_directory_ = Config().log_directory;
    // The server name stays the test process's own: it names the output mutex.
    record_ = std::make_unique<testing_support::ServiceRecordScope>(Service().server_name);
    full_ = Service().full_name;
    log_ = std::make_unique<SystemLog>();
  }
  void TearDown() override {
    log_.reset();
    record_.reset();
    Config().log_directory = log_directory_;
    ScratchFolder::TearDown();
  }
  // Runs as the service manager's service, reporting to `manager`.
  void UnderManager(NotifySocket& manager) {
    ASSERT_TRUE(platform::ServiceNotifier::Open(manager.address(), &notifier_));
    Service().console.store(0);
    Service().status_handle.store(&notifier_);
  }
  static std::string Printed(const std::function<void()>& action) {
    ::testing::internal::CaptureStdout();
    action();
    return ::testing::internal::GetCapturedStdout();
  }

  std::string full_;
  std::unique_ptr<SystemLog> log_;
  platform::ServiceNotifier notifier_;

 private:
  std::string log_directory_;
  std::unique_ptr<testing_support::ServiceRecordScope> record_;
};

TEST_F(ServiceDispatch, AnotherInstanceRefusesTheStart) {
  // Held here, or by an earlier start in this process: either way it is taken.
  platform::InstanceLock other;
  platform::InstanceLock::Acquire(Format("\\\\.\\pipe\\%s", full_.c_str()), &other);

  NotifySocket manager;
  UnderManager(manager);
  Service().current_state.store(kStateStartPending);
  int result = 0;
  EXPECT_EQ(Printed([&] { result = ServiceStart(0, nullptr); }), "");
  EXPECT_EQ(result, -4);
  EXPECT_EQ(log_->Events(),
            (std::vector<std::string>{
                "I|Attempting to start the " + full_ + " service.",
                // The text's printf "%s" is no insert of the message formatter.
                "E|The s service was unable to create named pipe - " + full_ + ".",
                "E|The " + full_ + " encountered a problem.  ServiceStart() failed. "
                "An unexpected error occurred (rc = -4).\n.",
            }));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(manager.Receive().substr(0, 20), "STATUS=Start pending");
  EXPECT_EQ(manager.Receive(0), "<timeout>");
  EXPECT_EQ(Service().stop_event, nullptr);

  Service().console.store(1);
  EXPECT_EQ(Printed([&] { result = ServiceStart(0, nullptr); }),
            "Service Start pending...Orvo Server could not create a named pipe.\n"
            "This is usually due to another instance of this program running\non this machine.\nTerminating\n."
            "An unexpected error occurred (rc = -4).\n");
  EXPECT_EQ(result, -4);
  EXPECT_EQ(log_->Events().size(), 3u);
}

TEST_F(ServiceDispatch, DispatcherFailsOutsideTheManager) {
  testing_support::EnvScope no_manager("NOTIFY_SOCKET");
  int result = 0;
  EXPECT_EQ(Printed([&] { result = RunDispatcher(0, nullptr); }),
            "\nStartServiceCtrlDispatcher being called.\nThis may take serveral seconds... Please wait.\n");
  EXPECT_EQ(result, -1);
  EXPECT_EQ(log_->Events(), (std::vector<std::string>{"E|The " + full_ +
                                                      " encountered a problem.  ServiceStart() failed. "
                                                      "Transport endpoint is not connected (0x6b)."}));
}

TEST_F(ServiceDispatch, RefusedStatusReportIsAWarning) {
  NotifySocket manager;
  UnderManager(manager);
  manager.Close();
  Service().current_state.store(kStateRunning);
  EXPECT_EQ(ReportStatus(), -1);
  EXPECT_EQ(log_->Events(), (std::vector<std::string>{"W|SetServiceStatus() failed - rc = -1, Err = 111."}));
}

TEST_F(ServiceDispatch, RunsUntilTheManagerStopsIt) {
  Write("orvosvr.cfg", "PORT 0\r\n");
  NotifySocket manager;
  UnderManager(manager);
  Service().current_state.store(kStateStartPending);
  int result = -100;
  std::thread service([&] { result = ServiceStart(0, nullptr); });
  std::string started = manager.ReceiveThrough("READY=1");
  EXPECT_EQ(started.substr(started.size() - 23), "READY=1\nSTATUS=Running|") << started;
  EXPECT_TRUE(log_->WaitForEvents(2));  // started successfully
  ServiceControlHandler(kControlStop);
  service.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(log_->Events(), (std::vector<std::string>{
                                "I|Attempting to start the " + full_ + " service.",
                                "I|The " + full_ + " service started successfully.",
                                "I|Attempting to stop the " + full_ + ".",
                                "I|The " + full_ + " service stopped successfully.",
                            }));
  EXPECT_EQ(Service().stop_event, nullptr);
}

TEST_F(ServiceDispatch, ServerWithoutItsOutputMutex) {
  testing_support::EnvScope lock_folder("XDG_RUNTIME_DIR", (folder_ / "no such folder").string());
  EXPECT_EQ(Printed([] { EXPECT_EQ(protocol::ServerMain(0, nullptr), 0); }),
            "Unable to create mutex for standard output.  Closing.");
  EXPECT_EQ(log_->Events(),
            (std::vector<std::string>{"E|The " + full_ +
                                      " service could not create a required Mutex object.  The service cannot continue."}));
}

}  // namespace
}  // namespace host
