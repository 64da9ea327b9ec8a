// Line editing for the shell on a terminal: history kept in a file, and tab
// completion through a function of orvo's. Built on libedit.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "tools/orvo/completion.h"

namespace orvo {

class LineEditor {
 public:
  // What completes the word under the cursor, given the text before it.
  using Completer = std::function<Completion(std::string_view before, std::string_view word)>;

  // What ReadLine read.
  enum class Read {
    kLine,         // a line, entered with Return
    kCancelled,    // Ctrl-C: what was typed is dropped
    kEnd,          // the end of the input (Ctrl-D)
  };

  // Starts editing with the history of `history_file` (none when empty; its
  // folder is made, private, when missing). One editor at a time.
  LineEditor(std::string history_file, Completer completer);
  ~LineEditor();
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  // Shows `prompt` and reads one line. A line that is not blank goes into the
  // history, and the history file is written at once, so that a closed
  // terminal loses nothing.
  Read ReadLine(const std::string& prompt, std::string* line);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace orvo
