#include "service/platform/service_manager.h"

#include "service/platform/process.h"

namespace platform {

std::string ServiceUnitName(const std::string& display_name) {
  static const char* hex = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < display_name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(display_name[i]);
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ':' ||
                 c == '_' || (c == '.' && i > 0);
    if (c == '/') {
      out += '-';
    } else if (plain) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out + ".service";
}

bool OpenServiceManager() { return RunAndWait({"systemctl", "--version"}) == 0; }

bool OpenServiceUnit(const std::string& unit) {
  std::string state;
  if (RunAndCapture({"systemctl", "show", "--property=LoadState", "--value", unit}, &state) != 0) return false;
  return state.rfind("loaded", 0) == 0;
}

bool StartServiceUnit(const std::string& unit) {
  return RunAndWait({"systemctl", "start", "--no-block", unit}) == 0;
}

}  // namespace platform
