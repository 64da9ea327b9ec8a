// Line editing for the shell on a terminal: history kept in a file, and tab
// completion through a function of orvo's. Built on libedit.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "tools/orvo/completion.h"

namespace orvo {

class LineEditor {
 public:
  // What completes the word under the cursor, given the text before it.
  using Completer = std::function<Completion(std::string_view before, std::string_view word)>;

  // Starts editing with the history of `history_file` (none when empty; its
  // folder is made, private, when missing). One editor at a time.
  LineEditor(std::string history_file, Completer completer);
  // Writes the history back.
  ~LineEditor();
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  // Shows `prompt` and reads one line; false at the end of the input (Ctrl+D).
  bool ReadLine(const std::string& prompt, std::string* line);

 private:
  std::string history_file_;
  Completer completer_;
};

}  // namespace orvo
