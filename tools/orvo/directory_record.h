// The records of a GDIR reply (wire/directory_record.h) as the client shows
// them.
#pragma once

#include <cstdint>
#include <string>

#include "wire/directory_record.h"

namespace orvo {

using wire::DecodeDirectoryRecords;
using wire::DirectoryRecord;
using wire::kAttrArchive;
using wire::kAttrDirectory;
using wire::kAttrHidden;
using wire::kAttrNormal;
using wire::kAttrReadOnly;
using wire::kAttrSystem;

// The attribute word as five letters in the manner of the attrib command:
// d (directory), r (read-only), h (hidden), s (system), a (archive), "-" where
// the bit is clear.
std::string AttributeLetters(uint32_t attributes);

}  // namespace orvo
