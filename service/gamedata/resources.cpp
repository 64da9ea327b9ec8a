#include "service/gamedata/resources.h"

#include <algorithm>
#include <string>

#include "service/host/text_lines.h"
#include "service/platform/fs.h"
#include "service/protocol/framing.h"
#include "wire/replies.h"

namespace gamedata {

namespace {

constexpr const char* kTablesScript = "gyriontables.scp";
constexpr int kLineSize = 260;

// The file a resource line names. Windows drops the blanks and dots at the end
// of a name when it opens it, and "art.mul // client art" names "art.mul"
// there; the same name is opened here.
std::string ResourceFile(const std::string& name) {
  size_t end = name.find_last_not_of(" .");
  return platform::NativePath(name.substr(0, end == std::string::npos ? 0 : end + 1));
}

}  // namespace

void SendResourceList(const platform::Socket& s) {
  host::TextReader in(kTablesScript);
  if (!in.Ok()) {
    protocol::SendPacket(s, wire::UnableToOpen(kTablesScript));
    return;
  }
  bool in_section = false;
  std::string line;
  while (host::ReadLine(in, line, kLineSize) >= 0) {
    host::CutAtNul(line);
    // The name is sent upper-cased but opened as written: Linux names are
    // case-sensitive.
    std::string upper = host::Upper(line);
    if (upper.find("[RESOURCES]") != std::string::npos) {
      in_section = true;
      continue;
    }
    if (!in_section) continue;
    if (upper.find('[') != std::string::npos) break;
    host::StripLineEnds(line);
    line.resize(std::min(line.size(), line.find("//")));
    if (line.empty()) continue;
    protocol::SendFormatted(s, "%s\t%ld", host::Upper(line).c_str(),
                            static_cast<long>(FileChecksum(ResourceFile(line))));
  }
  protocol::SendPacket(s, wire::kEndMarker);
}

}  // namespace gamedata
