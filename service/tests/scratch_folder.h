// A scratch folder that is the working directory while a test runs, with the
// service's settings reset around it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "service/host/config.h"

namespace testing_support {

class ScratchFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::filesystem::current_path();
    folder_ = std::filesystem::temp_directory_path() /
              ("orvosvr-scratch-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);
    ResetKeepingLog();
  }
  void TearDown() override {
    std::filesystem::current_path(saved_);
    std::filesystem::remove_all(folder_);
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
  void Write(const std::string& name, const std::string& bytes) {
    std::filesystem::path p = folder_ / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path saved_;
  std::filesystem::path folder_;

 private:
  static inline int counter_ = 0;
};

}  // namespace testing_support
