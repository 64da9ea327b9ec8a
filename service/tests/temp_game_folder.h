// A temporary game server folder as the service finds it, made the working
// directory for the length of a test: "gyrion.ini" naming the world-save
// folder "save" (where the account files are too), and whatever else a test
// writes. Removed, with the old working directory back, when the test ends.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "service/tests/log_capture.h"
#include "service/tests/scratch_folder.h"

namespace testing_support {

class TempGameFolder : public ScratchFolder {
 protected:
  void SetUp() override;

  // Replaces "gyrion.ini" with these lines, each ended by CR LF, and reads it
  // as the service does at start-up.
  void WriteIni(std::initializer_list<std::string> lines);
  // A file's bytes written with CR LF for each LF (as the game server keeps them).
  void WriteText(const std::string& name, const std::string& lf_text);
  // Makes a symbolic link `name` in the folder pointing at `target`.
  void Link(const std::string& name, const std::string& target);
  bool Exists(const std::string& name) const;
  // The absolute path of a name in the folder.
  std::string Full(const std::string& name) const;
  // Names of the files directly in `folder` (relative to the game folder)
  // that begin with `prefix`, sorted.
  std::vector<std::string> NamesStartingWith(const std::string& folder, const std::string& prefix) const;
  // A folder beside the game folder (outside it), made on first use and
  // removed when the test ends.
  std::string OutsideFolder();
  // Writes a file in that folder; returns its absolute path.
  std::string WriteOutside(const std::string& name, const std::string& bytes);

  void TearDown() override;

 private:
  std::string outside_;
};

// Turns each LF into CR LF, as text files are stored.
std::string WithCrLf(const std::string& lf_text);

}  // namespace testing_support
