#include "service/platform/last_error.h"

#include "service/platform/process.h"

// The record is the same on every platform; only where the system keeps its
// own last error differs (RecordSystemError, beside each platform's calls).
namespace platform {

namespace {

struct ErrorRecord {
  int code = 0;
  std::string text;  // empty: the system's text for the code
};

thread_local ErrorRecord g_last;

}  // namespace

int LastError() { return g_last.code; }

std::string LastErrorText() { return g_last.text.empty() ? ErrorText(g_last.code) : g_last.text; }

void SetLastError(int code) { g_last = ErrorRecord{code, {}}; }

void SetLastError(int code, const std::string& text) { g_last = ErrorRecord{code, text}; }

}  // namespace platform
