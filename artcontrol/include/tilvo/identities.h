#pragma once
// The control's identity as hosts bind to it: type library, interfaces,
// classes, the dispatch members with their DISPIDs and parameters, and the
// events. Defined once, as data, in the library.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tilvo {

// A GUID in its binary layout.
struct Guid {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];
};
// The registry text of a GUID, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::string GuidText(const Guid& guid);

// One identity row: what it is, its name, GUID, ProgID (empty when none) and descriptive text.
struct Identity {
  std::string_view item;
  std::string_view name;
  Guid guid;
  std::string_view prog_id;
  std::string_view description;
};

// Type library `TILVOLib`, the dispatch and event interfaces, the control class and the property page class.
extern const Identity kTypeLibrary;
extern const Identity kDispatchInterface;
extern const Identity kEventInterface;
extern const Identity kControlClass;
extern const Identity kPropertyPageClass;
// The members of `_DTilvo` as a vtable interface, which the type library
// carries for the control's own dispatch (hosts never see it).
extern const Identity kMembersInterface;

inline constexpr std::uint16_t kTypeLibraryMajor = 1;
inline constexpr std::uint16_t kTypeLibraryMinor = 0;
inline constexpr std::uint32_t kTypeLibraryLocale = 1033;
inline constexpr std::string_view kTypeLibraryHelpFile = "Tilvo.hlp";
// Activate when visible, set client site first, inside-out, cannot link inside, recompose on resize.
inline constexpr std::uint32_t kMiscStatus = 0x20191;
// String resources: the control's type name, the page's name and the page caption.
inline constexpr std::string_view kTypeNameString = "Tilvo Control";        // resource 1
inline constexpr std::string_view kPropertyPageString = "Tilvo Property Page";  // resource 2
inline constexpr std::string_view kPageCaptionString = "General";           // resource 200
// File and product version of the module.
inline constexpr std::uint16_t kModuleVersion[4] = {1, 3, 2, 0};

// Argument and result types of the dispatch interface.
enum class ArgType : std::uint8_t {
  kNone,  // no result
  kI2,    // 16-bit signed integer
  kI4,    // 32-bit signed integer
  kBool,  // boolean
  kText,  // automation string
};

// One declared parameter.
struct Param {
  std::string_view name;
  ArgType type;
};

enum class MemberKind : std::uint8_t { kProperty, kMethod };

// One member of `_DTilvo`: a property (type = its value type; params are the
// property's own parameters, as BkColor's `color`) or a method (type = its result).
struct MemberInfo {
  std::int32_t dispid;
  std::string_view name;
  MemberKind kind;
  ArgType type;
  bool read_only;
  std::span<const Param> params;
};

// One event of `_DTilvoEvents` with the arguments it is fired with.
struct EventInfo {
  std::int32_t dispid;
  std::string_view name;
  std::span<const Param> params;
};

// DISPIDs that the code names directly.
namespace dispid {
inline constexpr std::int32_t kxOffset = 1;
inline constexpr std::int32_t kyOffset = 2;
inline constexpr std::int32_t kArtType = 3;
inline constexpr std::int32_t kArtIndex = 4;
inline constexpr std::int32_t kArtColor = 5;
inline constexpr std::int32_t kDrawFlags = 6;
inline constexpr std::int32_t kSetObject = 7;
inline constexpr std::int32_t kSetOffset = 8;
inline constexpr std::int32_t kyScroll = 9;
inline constexpr std::int32_t kxScroll = 10;
inline constexpr std::int32_t kScroll = 11;
inline constexpr std::int32_t kRemovePreviewItems = 12;
inline constexpr std::int32_t kRemovePreviewItem = 13;
inline constexpr std::int32_t kRemovePreviewItemAt = 14;
inline constexpr std::int32_t kAddPreviewItem = 15;
inline constexpr std::int32_t kAddHideStatic = 16;
inline constexpr std::int32_t kRemoveHideStatics = 17;
inline constexpr std::int32_t kRemoveHideStaticAt = 18;
inline constexpr std::int32_t kRemoveHideStatic = 19;
inline constexpr std::int32_t kRedrawControl = 20;
inline constexpr std::int32_t kSetMulPath = 21;
inline constexpr std::int32_t kGetMulPath = 22;
inline constexpr std::int32_t kSetCustomMulFile = 23;
inline constexpr std::int32_t kGetCustomMulPath = 24;
inline constexpr std::int32_t kBkColor = 25;
inline constexpr std::int32_t kReadyState = -525;
inline constexpr std::int32_t kReadyStateChange = -609;
inline constexpr std::int32_t kMouseDown = -605;
inline constexpr std::int32_t kMouseMove = -606;
inline constexpr std::int32_t kMouseUp = -607;
}  // namespace dispid

// Every member of the dispatch interface, in DISPID order (ReadyState last).
std::span<const MemberInfo> DispatchMembers();
// Every event of the event interface.
std::span<const EventInfo> Events();
// The member with that DISPID, or null.
const MemberInfo* FindMember(std::int32_t dispid);
// The DISPID of a member or event by name (compared without regard to case, as
// automation does), or 0 when there is none (no member has DISPID 0).
std::int32_t DispIdOfName(std::string_view name);

}  // namespace tilvo
