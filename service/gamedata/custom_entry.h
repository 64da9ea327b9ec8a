// SITM and SCHR: one item or NPC entry merged into the custom script under its
// hexadecimal ID, or under a newly allocated one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "service/platform/net.h"

namespace gamedata {

// Receives one entry from the client and merges it into "gyrionitem2.scp"
// (isItem) or "gyrionchar2.scp": replacing the sections of its ID, inserting it
// before the first higher ID, or appending it under a new ID. Replies
// "OK - ID=%04x" with the entry's ID; failures are logged without a reply.
// Returns 0, or -1 when the stream broke (a failed receive, a negative length,
// or the receive time-out met 3000 times): the session must end, as the rest
// of the entry must never be read as commands.
int MergeCustomEntry(const platform::Socket& s, const std::string& user, bool isItem);

// The hexadecimal number at the start of `text` after blanks and tabs (0 when
// there is none), as a header's ID is read.
int32_t ReadHexId(std::string_view text);

// The ID an entry asks for: none when it holds "[]" or when its first "[" and
// first "]" do not enclose 1 to 6 characters.
std::optional<int32_t> RequestedId(std::string_view entry);

// Merges `entry` (CRs removed) into the script text `script` (as read, LF
// line ends), marking the change with `user`. Returns the new script text and
// sets `id` to the ID the entry now has.
std::string MergeEntryText(std::string_view script, std::string_view entry, const std::string& user,
                           int32_t base_id, int32_t* id);

}  // namespace gamedata
