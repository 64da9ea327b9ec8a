#include "tools/orvo/shell.h"

#include <istream>
#include <memory>
#include <ostream>

#include "tools/orvo/line_editor.h"
#include "tools/orvo/platform_interrupt.h"

namespace orvo {

namespace {

enum class Next { kLine, kCancelled, kEnd };

// Reads the next line: from the line editor on a terminal, plainly otherwise.
Next NextLine(LineEditor* editor, const std::string& prompt, const Environment& env, std::string* line) {
  if (editor == nullptr) return env.in != nullptr && std::getline(*env.in, *line) ? Next::kLine : Next::kEnd;
  switch (editor->ReadLine(prompt, line)) {
    case LineEditor::Read::kLine: return Next::kLine;
    case LineEditor::Read::kCancelled: return Next::kCancelled;
    case LineEditor::Read::kEnd: break;
  }
  return Next::kEnd;
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
    // On a terminal Ctrl-C cancels the line or the command under way, not
    // the session.
    platform::CatchInterrupts();
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
  for (Next next; (next = NextLine(editor.get(), prompt, env, &line)) != Next::kEnd;) {
    platform::ClearInterrupt();
    if (next == Next::kCancelled) continue;
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
      if (r == kInterrupted) {
        *env.err << "orvo: " << CommandTitle(options)
                 << ": interrupted; a file under way is left as it was (the next command logs in again)\n";
      } else if (r != kOk) {
        *env.err << "orvo: " << CommandTitle(options) << ": " << ctx.session->Problem() << "\n";
      }
      platform::ClearInterrupt();
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
