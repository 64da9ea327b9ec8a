// Text conversions, error texts and random names for orvo's Windows files.
#include "tools/orvo/win32_support.h"

#include <windows.h>

#include <random>

namespace orvo::platform {

std::wstring Widen(std::string_view text) {
  if (text.empty()) return {};
  int size = static_cast<int>(text.size());
  int wide = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), wide);
  return out;
}

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  int size = static_cast<int>(text.size());
  int narrow = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(narrow), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), narrow, nullptr, nullptr);
  return out;
}

std::string SystemText(unsigned long code) {
  wchar_t* buffer = nullptr;
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer != nullptr ? buffer : L"", n);
  if (buffer != nullptr) ::LocalFree(buffer);
  // The system's texts end with a full stop and a line end.
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.')) {
    text.pop_back();
  }
  if (text.empty()) return "error " + std::to_string(code);
  return Narrow(text);
}

std::string LastErrorText() { return SystemText(::GetLastError()); }

std::string RandomSuffix() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::string out;
  for (int i = 0; i < 6; ++i) out += kLetters[device() % (sizeof kLetters - 1)];
  return out;
}

}  // namespace orvo::platform
