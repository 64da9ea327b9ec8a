#include "monitor/win32/wide_text.h"

#include <windows.h>

namespace monitor {
namespace {

std::wstring ToWide(std::string_view text, UINT code_page) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(code_page, 0, text.data(), length, nullptr, 0);
  std::wstring out(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), length, out.data(), wide);
  return out;
}

std::string FromWide(std::wstring_view text, UINT code_page) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(code_page, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(code_page, 0, text.data(), length, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring Widen(std::string_view text) { return ToWide(text, CP_UTF8); }

std::string Narrow(std::wstring_view text) { return FromWide(text, CP_UTF8); }

std::wstring ToBoxText(std::string_view text) {
  const std::wstring wide = Widen(text);
  std::wstring out;
  out.reserve(wide.size() + wide.size() / 32);
  for (wchar_t c : wide) {
    if (c == L'\n') out += L'\r';
    out += c;
  }
  return out;
}

std::string FromBoxText(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
    out += text[i];
  }
  return Narrow(out);
}

std::string AnsiToUtf8(std::string_view text) { return Narrow(ToWide(text, CP_ACP)); }

std::string Utf8ToAnsi(std::string_view text) { return FromWide(Widen(text), CP_ACP); }

}  // namespace monitor
