#pragma once
// The control's verb list: the two standard verbs a host offers for it.

#include <cstdint>
#include <span>
#include <string_view>

namespace tilvo {

// The standard verb numbers (OLE's OLEIVERB_PRIMARY and OLEIVERB_PROPERTIES).
inline constexpr std::int32_t kVerbEdit = 0;         // Edit: activate the control in its place
inline constexpr std::int32_t kVerbProperties = -7;  // Properties: show the property page

// One verb as a host's menu lists it ("&" marks the access key).
struct Verb {
  std::int32_t number;
  std::string_view menuText;
};

inline constexpr Verb kVerbs[] = {
    {kVerbEdit, "&Edit"},
    {kVerbProperties, "&Properties..."},
};

// Edit, then Properties.
inline std::span<const Verb> ControlVerbs() { return kVerbs; }

}  // namespace tilvo
