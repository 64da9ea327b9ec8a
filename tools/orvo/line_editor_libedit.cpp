// The shell's line editing with libedit's readline interface.
#include <cstdio>
// (libedit's header needs FILE declared first.)
#include <editline/readline.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/orvo/environment.h"
#include "tools/orvo/line_editor.h"
#include "tools/orvo/platform_files.h"

namespace orvo {

namespace {

constexpr int kHistoryLines = 1000;

// libedit calls plain functions: they reach the one open editor's completer
// and the candidates of the completion under way through these two.
LineEditor::Completer* g_completer = nullptr;
std::vector<std::string> g_candidates;

char* NextCandidate(const char* /*text*/, int state) {
  static size_t next = 0;
  if (state == 0) next = 0;
  if (next >= g_candidates.size()) return nullptr;
  return ::strdup(g_candidates[next++].c_str());
}

char** Attempt(const char* text, int start, int /*end*/) {
  if (g_completer == nullptr) return nullptr;
  std::string_view before(rl_line_buffer, static_cast<size_t>(start));
  Completion c = (*g_completer)(before, text);
  if (c.local_files) {
    rl_attempted_completion_over = 0;  // libedit completes file names itself
    return nullptr;
  }
  rl_attempted_completion_over = 1;
  g_candidates = std::move(c.candidates);
  // A folder goes on being completed: no blank after it.
  bool folder = g_candidates.size() == 1 && g_candidates[0].ends_with('/');
  rl_completion_append_character = folder ? '\0' : ' ';
  if (g_candidates.empty()) return nullptr;
  return rl_completion_matches(text, NextCandidate);
}

}  // namespace

LineEditor::LineEditor(std::string history_file, Completer completer)
    : history_file_(std::move(history_file)), completer_(std::move(completer)) {
  rl_readline_name = "orvo";
  // Names hold "/" and "\": only blanks and quotes end a word.
  static char breaks[] = " \t\n\"'";
  rl_basic_word_break_characters = breaks;
  rl_completer_word_break_characters = breaks;
  rl_attempted_completion_function = Attempt;
  g_completer = &completer_;
  using_history();
  stifle_history(kHistoryLines);
  if (!history_file_.empty()) {
    std::string error;
    platform::MakeFolders(platform::FolderOf(history_file_), 0700, &error);
    read_history(history_file_.c_str());
  }
}

LineEditor::~LineEditor() {
  if (!history_file_.empty()) write_history(history_file_.c_str());
  g_completer = nullptr;
  g_candidates.clear();
}

bool LineEditor::ReadLine(const std::string& prompt, std::string* line) {
  char* text = readline(prompt.c_str());
  if (text == nullptr) return false;
  *line = text;
  std::free(text);
  if (line->find_first_not_of(" \t") != std::string::npos) add_history(line->c_str());
  return true;
}

}  // namespace orvo
