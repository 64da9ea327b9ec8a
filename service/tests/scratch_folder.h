// A scratch folder that is the working directory while a test runs, with the
// service's settings reset around it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "service/host/config.h"
#include "testing/temp_folder.h"

namespace testing_support {

class ScratchFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::filesystem::current_path();
    scratch_.emplace("orvosvr-scratch-");
    folder_ = scratch_->Path();
    std::filesystem::current_path(folder_);
    ResetKeepingLog();
  }
  void TearDown() override {
    std::filesystem::current_path(saved_);
    scratch_.reset();
    ResetKeepingLog();
  }
  // Defaults for every setting except where the test process logs.
  void ResetKeepingLog() {
    std::string log_dir = host::Config().log_directory;
    host::ResetConfig();
    host::Config().log_directory = log_dir;
    host::Config().receive_timeout = 300;
  }
  // Writes a file below the folder, making its folders.
  void Write(const std::string& name, const std::string& bytes) { scratch_->WriteText(name, bytes); }
  std::string Read(const std::string& name) const { return scratch_->Read(name); }

  std::filesystem::path saved_;
  std::filesystem::path folder_;

 private:
  std::optional<TempFolder> scratch_;
};

}  // namespace testing_support
