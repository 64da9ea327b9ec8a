// The shell's line editing with libedit's own interface: its completion of
// the readline interface rings the bell even when a word completes uniquely.
#include <cstdio>
// (libedit's headers need FILE declared first.)
#include <editline/readline.h>
#include <histedit.h>

#include <cstdlib>
#include <vector>

#include "tools/orvo/environment.h"
#include "tools/orvo/line_editor.h"
#include "tools/orvo/platform_files.h"
#include "tools/orvo/platform_process.h"

namespace orvo {

namespace {

constexpr int kHistoryLines = 1000;
// Names hold "/" and "\": only blanks and quotes end a word.
constexpr std::string_view kWordBreaks = " \t\n\"'";

// The local files and folders whose names begin with `word` (a path as
// typed); a folder ends in "/".
std::vector<std::string> LocalNames(std::string_view word) {
  std::vector<std::string> names;
  std::string text(word);
  for (int state = 0;; ++state) {
    char* name = rl_filename_completion_function(text.c_str(), state);
    if (name == nullptr) break;
    names.emplace_back(name);
    std::free(name);
    if (!names.back().ends_with('/') && platform::StatusOf(names.back()).directory) names.back() += '/';
  }
  return names;
}

}  // namespace

struct LineEditor::State {
  EditLine* el = nullptr;
  History* history = nullptr;
  std::string history_file;
  Completer completer;
  std::string prompt;
  bool cancelled = false;  // Ctrl-C ended the line

  // Ctrl-C: the line is shown ended with "^C" and then dropped. While a line
  // is edited the key is a character, not a signal, so that it cannot come
  // between two reads of the terminal and be lost.
  static unsigned char Cancel(EditLine* el, int /*key*/) {
    State* state = nullptr;
    el_get(el, EL_CLIENTDATA, &state);
    state->cancelled = true;
    const LineInfo* line = el_line(el);
    el_cursor(el, static_cast<int>(line->lastchar - line->cursor));
    el_insertstr(el, "^C");
    el_push(el, "\n");
    return CC_REFRESH;
  }

  // Ctrl-Z, which is a character too while a line is edited: libedit
  // restores the terminal while orvo is stopped and redraws the line after.
  static unsigned char Suspend(EditLine* /*el*/, int /*key*/) {
    platform::SuspendToShell();
    return CC_NORM;
  }

  static char* Prompt(EditLine* el) {
    State* state = nullptr;
    el_get(el, EL_CLIENTDATA, &state);
    return state->prompt.data();
  }

  // Tab: a word that completes uniquely is completed (a blank after it, none
  // after a folder); several candidates are completed as far as they agree
  // and listed when they agree no further; the bell rings only when nothing
  // completes.
  static unsigned char CompleteWord(EditLine* el, int /*key*/) {
    State* state = nullptr;
    el_get(el, EL_CLIENTDATA, &state);
    const LineInfo* line = el_line(el);
    std::string_view typed(line->buffer, static_cast<size_t>(line->cursor - line->buffer));
    size_t start = typed.find_last_of(kWordBreaks);
    start = start == std::string_view::npos ? 0 : start + 1;
    std::string_view word = typed.substr(start);
    Completion c = state->completer(typed.substr(0, start), word);
    std::vector<std::string> candidates = c.local_files ? LocalNames(word) : std::move(c.candidates);
    if (candidates.empty()) return CC_REFRESH_BEEP;
    std::string common = CommonPrefix(candidates);
    std::string add = common.size() > word.size() ? common.substr(word.size()) : "";
    if (candidates.size() == 1 && !common.ends_with('/')) add += ' ';
    if (!add.empty()) {
      el_insertstr(el, add.c_str());
      return CC_REFRESH;
    }
    // Listed by their last part, as shells list file names (npos + 1 is 0).
    size_t folder = word.rfind('/') + 1;
    std::string list = "\n";
    for (const std::string& candidate : candidates) list += candidate.substr(folder) + "  ";
    list += "\n";
    std::fputs(list.c_str(), stdout);
    std::fflush(stdout);
    return CC_REDISPLAY;
  }
};

LineEditor::LineEditor(std::string history_file, Completer completer) : state_(std::make_unique<State>()) {
  state_->history_file = std::move(history_file);
  state_->completer = std::move(completer);
  HistEvent event;
  state_->history = history_init();
  history(state_->history, &event, H_SETSIZE, kHistoryLines);
  if (!state_->history_file.empty()) {
    std::string error;
    platform::MakeFolders(platform::FolderOf(state_->history_file), 0700, &error);
    history(state_->history, &event, H_LOAD, state_->history_file.c_str());
  }
  EditLine* el = el_init("orvo", stdin, stdout, stderr);
  state_->el = el;
  el_set(el, EL_CLIENTDATA, state_.get());
  el_set(el, EL_EDITOR, "emacs");
  // libedit restores the terminal around signals and notices a new window size.
  el_set(el, EL_SIGNAL, 1);
  el_set(el, EL_PROMPT, &State::Prompt);
  el_set(el, EL_HIST, history, state_->history);
  // The wide form keeps libedit from copying the two names, which it never frees.
  el_wset(el, EL_ADDFN, L"orvo-complete", L"complete the word under the cursor", &State::CompleteWord);
  el_set(el, EL_BIND, "^I", "orvo-complete", nullptr);
  el_set(el, EL_SETTY, "-d", "-isig", nullptr);
  el_wset(el, EL_ADDFN, L"orvo-cancel", L"drop the line", &State::Cancel);
  el_set(el, EL_BIND, "^C", "orvo-cancel", nullptr);
  el_wset(el, EL_ADDFN, L"orvo-suspend", L"stop orvo until the shell continues it", &State::Suspend);
  el_set(el, EL_BIND, "^Z", "orvo-suspend", nullptr);
  // The user's ~/.editrc (lines for "orvo" or for every program) comes last.
  el_source(el, nullptr);
}

LineEditor::~LineEditor() {
  el_end(state_->el);
  history_end(state_->history);
}

LineEditor::Read LineEditor::ReadLine(const std::string& prompt, std::string* line) {
  state_->prompt = prompt;
  state_->cancelled = false;
  // The terminal is made raw before the prompt shows: a key pressed as soon
  // as it does is then already read by the editor, Ctrl-C included.
  el_set(state_->el, EL_PREP_TERM, 1);
  int count = 0;
  const char* text = el_gets(state_->el, &count);
  // The typed line is dropped, as every interactive shell does.
  if (state_->cancelled) return Read::kCancelled;
  if (text == nullptr || count <= 0) return Read::kEnd;
  line->assign(text, static_cast<size_t>(count));
  if (line->ends_with('\n')) line->pop_back();
  if (line->find_first_not_of(" \t") != std::string::npos) {
    HistEvent event;
    history(state_->history, &event, H_ENTER, line->c_str());
    if (!state_->history_file.empty()) history(state_->history, &event, H_SAVE, state_->history_file.c_str());
  }
  return Read::kLine;
}

}  // namespace orvo
