#include "artcontrol/platform/win32/wide_text.h"

#include <windows.h>

namespace tilvo::platform {
namespace {

std::wstring Widen(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int count = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (count <= 0) return {};
  std::wstring out(static_cast<std::size_t>(count), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), length, out.data(), count);
  return out;
}

}  // namespace

std::wstring Utf16FromUtf8(std::string_view text) { return Widen(CP_UTF8, text); }

std::string Utf8FromUtf16(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int count = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (count <= 0) return {};
  std::string out(static_cast<std::size_t>(count), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), count, nullptr, nullptr);
  return out;
}

std::string Utf8FromAnsi(std::string_view text) { return Utf8FromUtf16(Widen(CP_THREAD_ACP, text)); }

}  // namespace tilvo::platform
