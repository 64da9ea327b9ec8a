#include "service/tests/temp_game_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "service/host/config.h"

namespace testing_support {

namespace fs = std::filesystem;

std::string WithCrLf(const std::string& lf_text) {
  std::string out;
  for (char c : lf_text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

void TempGameFolder::SetUp() {
  ScratchFolder::SetUp();
  WriteIni({"[GYRION]", "WORLDSAVE=save/", "[SERVERS]", "Test Shard", "127.0.0.1", "2593"});
  fs::create_directories(folder_ / "save");
}

void TempGameFolder::TearDown() {
  if (!outside_.empty()) {
    std::error_code ec;
    fs::remove_all(outside_, ec);
  }
  ScratchFolder::TearDown();
}

void TempGameFolder::WriteIni(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  Write("gyrion.ini", text);
  // The folders a client may reach are those of the ini read at start-up.
  host::ReadGameIni();
}

void TempGameFolder::WriteText(const std::string& name, const std::string& lf_text) {
  Write(name, WithCrLf(lf_text));
}

void TempGameFolder::Link(const std::string& name, const std::string& target) {
  fs::create_symlink(target, folder_ / name);
}

bool TempGameFolder::Exists(const std::string& name) const {
  std::error_code ec;
  return fs::exists(fs::symlink_status(folder_ / name, ec));
}

std::string TempGameFolder::Full(const std::string& name) const { return (folder_ / name).string(); }

std::vector<std::string> TempGameFolder::NamesStartingWith(const std::string& folder,
                                                           const std::string& prefix) const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder_ / folder)) {
    std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) == 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string TempGameFolder::OutsideFolder() {
  if (outside_.empty()) {
    outside_ = folder_.string() + "-outside";
    fs::create_directories(outside_);
  }
  return outside_;
}

std::string TempGameFolder::WriteOutside(const std::string& name, const std::string& bytes) {
  fs::path p = fs::path(OutsideFolder()) / name;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
  return p.string();
}

}  // namespace testing_support
