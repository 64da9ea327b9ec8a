#include "tools/orvo/options.h"

#include "tools/orvo/commands.h"
#include "tools/orvo/replies.h"

namespace orvo {

bool ParsePort(const std::string& text, uint16_t* port) {
  long long v = 0;
  if (!ParseDecimal(text, false, &v) || v < 1 || v > 65535) return false;
  *port = static_cast<uint16_t>(v);
  return true;
}

bool ParseSeconds(const std::string& text, int* ms) {
  long long v = 0;
  if (!ParseDecimal(text, false, &v) || v < 1 || v > 86400) return false;
  *ms = static_cast<int>(v * 1000);
  return true;
}

namespace {

// The options that stand alone.
bool SetFlag(const std::string& arg, Options* o) {
  if (arg == "-h" || arg == "--help") {
    o->help = true;
  } else if (arg == "--json") {
    o->json = true;
  } else if (arg == "--large") {
    o->large = true;
  } else if (arg == "--force") {
    o->force = true;
  } else if (arg == "--dry-run" || arg == "-n") {
    o->dry_run = true;
  } else if (arg == "--delete") {
    o->delete_extra = true;
  } else {
    return false;
  }
  return true;
}

// The options that choose the connection, which a shell has already made.
bool ChoosesConnection(const std::string& arg) {
  return arg == "--host" || arg == "--port" || arg == "--ssh" || arg == "--user" || arg == "--password-file" ||
         arg == "--profile" || arg == "--timeout";
}

// Sets an option that takes `value`; an empty result, or what is wrong.
std::string SetValue(const std::string& arg, const std::string& value, Options* o) {
  uint16_t port = 0;
  int ms = 0;
  if (arg == "--host") {
    o->host = value;
  } else if (arg == "--port") {
    if (!ParsePort(value, &port)) return "bad port " + value;
    o->port = port;
  } else if (arg == "--ssh") {
    o->ssh = value;
  } else if (arg == "--user") {
    o->user = value;
  } else if (arg == "--password-file") {
    o->password_file = value;
  } else if (arg == "--profile") {
    o->profile = value;
  } else if (arg == "--timeout") {
    if (!ParseSeconds(value, &ms)) return "bad time-out " + value;
    o->timeout_ms = ms;
  } else if (arg == "--idle") {
    if (!ParseSeconds(value, &o->idle_ms)) return "bad idle time " + value;
  } else if (arg == "-o" || arg == "--output") {
    o->output = value;
  } else if (arg == "--password") {
    return "the password is never taken from the command line: use ORVO_PASSWORD, --password-file or a profile";
  } else {
    return "unknown option " + arg;
  }
  return "";
}

}  // namespace

std::string ParseArguments(const std::vector<std::string>& args, Where where, Options* options) {
  bool only_words = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (only_words || arg == "-" || !arg.starts_with("-")) {
      options->words.push_back(arg);
      continue;
    }
    if (arg == "--") {
      only_words = true;
      continue;
    }
    if (SetFlag(arg, options)) continue;
    std::string value;
    size_t equals = arg.find('=');
    if (equals != std::string::npos && arg.starts_with("--")) {
      value = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return "option " + arg + " needs a value";
    }
    if (where == Where::kShell && ChoosesConnection(arg)) return arg + " belongs on orvo's command line, before shell";
    std::string problem = SetValue(arg, value, options);
    if (!problem.empty()) return problem;
  }
  if (options->help) return "";
  return CheckCommand(*options, where);
}

std::string SplitWords(const std::string& line, std::vector<std::string>* words) {
  words->clear();
  std::string word;
  bool in_word = false;
  char quote = 0;
  for (char c : line) {
    if (quote != 0) {
      if (c == quote) {
        quote = 0;
      } else {
        word += c;
      }
    } else if (c == '"' || c == '\'') {
      quote = c;
      in_word = true;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (in_word) words->push_back(word);
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (quote != 0) return std::string("no closing ") + quote;
  if (in_word) words->push_back(word);
  return "";
}

}  // namespace orvo
