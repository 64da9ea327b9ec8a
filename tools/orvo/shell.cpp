#include "tools/orvo/shell.h"

#include <istream>
#include <memory>
#include <ostream>

#include "tools/orvo/line_editor.h"

namespace orvo {

namespace {

// Reads the next line: from the line editor on a terminal, plainly otherwise.
bool NextLine(LineEditor* editor, const std::string& prompt, const Environment& env, std::string* line) {
  if (editor != nullptr) return editor->ReadLine(prompt, line);
  return env.in != nullptr && static_cast<bool>(std::getline(*env.in, *line));
}

}  // namespace

int RunShell(Context& ctx, const Settings& settings) {
  const Environment& env = ctx.env;
  const bool interactive = env.in_is_terminal;
  ctx.in_shell = true;
  ListingCache cache([&](const std::string& folder, std::vector<DirectoryRecord>* records) {
    Session& s = *ctx.session;
    return s.Usable() && !s.PeerHasClosed() && ListDirectory(s, folder, records) == kOk;
  });
  std::unique_ptr<LineEditor> editor;
  if (interactive) {
    editor = std::make_unique<LineEditor>(HistoryFilePath(env), [&](std::string_view before, std::string_view word) {
      return Complete(before, word, [&](const std::string& f, std::vector<DirectoryRecord>* r) {
        return cache.List(f, r);
      });
    });
    *env.err << "orvo: logged in as " << settings.user << " at " << settings.host << ":" << settings.port
             << "; help lists the commands, quit ends the session\n";
  }
  const std::string prompt = "orvo " + settings.user + "@" + settings.host + "> ";
  std::string line;
  int status = kExitOk;
  bool ended = true;  // by the end of the input, not by quit or a failure
  while (NextLine(editor.get(), prompt, env, &line)) {
    std::vector<std::string> words;
    Options options;
    std::string problem = SplitWords(line, &words);
    if (problem.empty() && (words.empty() || words[0].starts_with('#'))) continue;
    if (problem.empty() && (words[0] == "quit" || words[0] == "exit")) {
      ended = false;
      break;
    }
    if (problem.empty()) problem = ParseArguments(words, Where::kShell, &options);
    if (problem.empty() && options.help) {
      *env.out << CommandUsage(Where::kShell);
      continue;
    }
    int r = kOk;
    if (!problem.empty()) {
      *env.err << "orvo: " << problem << "\n";
      r = kInvalidInput;
    } else {
      Session& s = *ctx.session;
      // The session ends after start, and a broken connection is worth one
      // more try.
      if (!(FindCommand(words[0])->flags & kNoSession) && (!s.Usable() || s.PeerHasClosed())) {
        *env.err << "orvo: logging in again\n";
        r = ctx.reconnect();
      }
      if (r == kOk) r = RunCommand(ctx, options);
      if (ctx.meter != nullptr) ctx.meter->Finish();
      if (r != kOk) *env.err << "orvo: " << CommandTitle(options) << ": " << ctx.session->Problem() << "\n";
      cache.Clear();
    }
    env.out->flush();
    if (r != kOk && !interactive) {
      status = ExitStatusFor(r);
      ended = false;
      break;
    }
  }
  // Ctrl+D leaves the cursor after the prompt.
  if (interactive && ended) *env.err << "\n";
  if (ctx.session->Usable()) Quit(*ctx.session);
  return status;
}

}  // namespace orvo
