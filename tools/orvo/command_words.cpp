#include "tools/orvo/command_words.h"

#include <array>

namespace orvo {

namespace {

struct ScriptWords {
  std::string_view name;   // the name the service opens for these words
  std::string_view fetch;
  std::string_view store;
};

// The scripts the command table names. Names match exactly: on a file system
// that tells case apart, another spelling is another file, which GFIL/SFIL reach.
constexpr std::array<ScriptWords, 12> kScripts{{
    {"gyrionitem2.scp", "GITM", "SIT2"},
    {"gyrionchar2.scp", "GCHR", "SCH2"},
    {"gyriondefs2.scp", "GDFS", "SDFS"},
    {"gyrionmap2.scp", "GMAP", "SMAP"},
    {"gyriontables.scp", "GTBL", "STBL"},
    {"gyriontemplate2.scp", "GTPL", "STPL"},
    {"gyrionmagic.scp", "GMAG", "SMAG"},
    {"gyrionskill.scp", "GSKL", "SSKL"},
    {"gyrionspee.scp", "GSPE", "SSPE"},
    {"gyrionname.scp", "GNAM", "SNAM"},
    {"gyriontrig2.scp", "GTRG", "STRG"},
    {"gyrion.ini", "GINI", "SINI"},
}};

const ScriptWords* FindScript(std::string_view name) {
  for (const ScriptWords& row : kScripts) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

}  // namespace

std::string FetchRequest(std::string_view name) {
  const ScriptWords* row = FindScript(name);
  return row ? std::string(row->fetch) : "GFIL" + std::string(name);
}

std::string StoreRequest(std::string_view name) {
  const ScriptWords* row = FindScript(name);
  return row ? std::string(row->store) : "SFIL" + std::string(name);
}

std::string_view MergeRequest(EntryKind kind) { return kind == EntryKind::kItem ? "SITM" : "SCHR"; }

}  // namespace orvo
