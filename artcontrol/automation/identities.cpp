#include "tilvo/identities.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace tilvo {

const Identity kTypeLibrary = {
    "type library", "TILVOLib",
    {0x42509308, 0x9EA0, 0x4603, {0x92, 0x2E, 0xF1, 0xAC, 0x67, 0xFF, 0x6F, 0x4A}},
    "", "Tilvo ActiveX Control module"};
const Identity kDispatchInterface = {
    "dispatch interface", "_DTilvo",
    {0xEF8782A5, 0x4E77, 0x4990, {0xA8, 0xC7, 0x0E, 0x28, 0xC5, 0x2E, 0x90, 0xCF}},
    "", "Dispatch interface for Tilvo Control"};
const Identity kEventInterface = {
    "event interface", "_DTilvoEvents",
    {0x76EB6488, 0xB9FA, 0x4115, {0x8D, 0x19, 0x1D, 0xE8, 0xC7, 0x51, 0xD9, 0x02}},
    "", "Event interface for Tilvo Control"};
const Identity kControlClass = {
    "control class", "Tilvo",
    {0x0904F7B3, 0x2339, 0x44C9, {0x85, 0x7C, 0x6E, 0xB6, 0xCF, 0xEF, 0xA3, 0xB6}},
    "TILVO.TilvoCtrl.1", "Tilvo Control"};
const Identity kPropertyPageClass = {
    "property page class", "CTilvoPropPage",
    {0x6537D7F1, 0xF511, 0x4C05, {0x81, 0xB9, 0x0F, 0x7A, 0xFF, 0x51, 0xA1, 0xEA}},
    "TILVO.TilvoPropPage.1", "Tilvo Property Page"};
const Identity kMembersInterface = {
    "members interface", "ITilvoMembers",
    {0x4F621E93, 0x7959, 0x47F1, {0xB6, 0x48, 0xC7, 0x28, 0x1B, 0x3A, 0x78, 0x73}},
    "", ""};

namespace {

using enum ArgType;
using enum MemberKind;

constexpr Param kColor[] = {{"color", kI4}};
constexpr Param kTypeIndex[] = {{"type", kI2}, {"index", kI4}};
constexpr Param kXY[] = {{"x", kI4}, {"y", kI4}};
constexpr Param kOffset[] = {{"offset", kI4}};
constexpr Param kIndex[] = {{"index", kI4}};
constexpr Param kPreviewItem[] = {{"ID", kI2}, {"x", kI2}, {"y", kI2}, {"z", kI2}, {"color", kI2}};
constexpr Param kHideStatic[] = {{"ID", kI2}, {"Block", kI4}, {"x", kI2}, {"y", kI2}, {"z", kI2}, {"color", kI2}};
constexpr Param kNewPath[] = {{"pszNewPath", kText}};
constexpr Param kCustomFile[] = {{"sFileIndex", kI2}, {"pszNewFilePath", kText}};
constexpr Param kFileIndex[] = {{"sFileIndex", kI2}};
constexpr Param kMouse[] = {{"Button", kI2}, {"Shift", kI2}, {"x", kI4}, {"y", kI4}};

const MemberInfo kMembers[] = {
    {1, "xOffset", kProperty, kI4, false, {}},
    {2, "yOffset", kProperty, kI4, false, {}},
    {3, "ArtType", kProperty, kI2, false, {}},
    {4, "ArtIndex", kProperty, kI4, false, {}},
    {5, "ArtColor", kProperty, kI2, false, {}},
    {6, "DrawFlags", kProperty, kI2, false, {}},
    {7, "SetObject", kMethod, kNone, false, kTypeIndex},
    {8, "SetOffset", kMethod, kNone, false, kXY},
    {9, "yScroll", kMethod, kI4, false, kOffset},
    {10, "xScroll", kMethod, kI4, false, kOffset},
    {11, "Scroll", kMethod, kNone, false, kXY},
    {12, "RemovePreviewItems", kMethod, kNone, false, {}},
    {13, "RemovePreviewItem", kMethod, kNone, false, kPreviewItem},
    {14, "RemovePreviewItemAt", kMethod, kNone, false, kIndex},
    {15, "AddPreviewItem", kMethod, kI4, false, kPreviewItem},
    {16, "AddHideStatic", kMethod, kI4, false, kHideStatic},
    {17, "RemoveHideStatics", kMethod, kNone, false, {}},
    {18, "RemoveHideStaticAt", kMethod, kNone, false, kIndex},
    {19, "RemoveHideStatic", kMethod, kNone, false, kHideStatic},
    {20, "RedrawControl", kMethod, kNone, false, {}},
    {21, "SetMulPath", kMethod, kNone, false, kNewPath},
    {22, "GetMulPath", kMethod, kText, false, {}},
    {23, "SetCustomMulFile", kMethod, kBool, false, kCustomFile},
    {24, "GetCustomMulPath", kMethod, kText, false, kFileIndex},
    {25, "BkColor", kProperty, kI4, false, kColor},
    {-525, "ReadyState", kProperty, kI4, true, {}},
};

// ReadyStateChange is declared without parameters; it is fired with the new
// ready state as its one argument.
const EventInfo kEvents[] = {
    {-609, "ReadyStateChange", {}},
    {-605, "MouseDown", kMouse},
    {-606, "MouseMove", kMouse},
    {-607, "MouseUp", kMouse},
};

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string GuidText(const Guid& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.data1, g.data2,
                g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6],
                g.data4[7]);
  return text;
}

std::span<const MemberInfo> DispatchMembers() { return kMembers; }

std::span<const EventInfo> Events() { return kEvents; }

const MemberInfo* FindMember(std::int32_t dispid) {
  for (const MemberInfo& m : kMembers) {
    if (m.dispid == dispid) return &m;
  }
  return nullptr;
}

std::int32_t DispIdOfName(std::string_view name) {
  for (const MemberInfo& m : kMembers) {
    if (SameName(m.name, name)) return m.dispid;
  }
  for (const EventInfo& e : kEvents) {
    if (SameName(e.name, name)) return e.dispid;
  }
  return 0;
}

}  // namespace tilvo
