// Reads back what a test logged: the daily log file of the test process.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "service/host/log.h"

namespace testing_support {

// The whole daily log so far, with its CR LF line ends.
inline std::string LogText() {
  std::ifstream in(host::LogFileName(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Marks where the log stands, so that a test can look at what it added.
class LogMark {
 public:
  LogMark() : start_(LogText().size()) {}
  // What was logged since the mark, with CR LF turned back into LF.
  std::string Added() const {
    std::string all = LogText();
    std::string text = all.size() > start_ ? all.substr(start_) : std::string();
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
      out += text[i];
    }
    return out;
  }

 private:
  size_t start_;
};

}  // namespace testing_support
