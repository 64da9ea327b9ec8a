#include "tools/orvo/command_words.h"

#include "wire/commands.h"

namespace orvo {

namespace {

const wire::ScriptWords* FindScript(std::string_view name) {
  for (const wire::ScriptWords& row : wire::kScriptWords) {
    if (row.file == name) return &row;
  }
  return nullptr;
}

}  // namespace

std::string FetchRequest(std::string_view name) {
  const wire::ScriptWords* row = FindScript(name);
  return row ? std::string(row->fetch) : std::string(wire::kFetchFile).append(name);
}

std::string StoreRequest(std::string_view name) {
  const wire::ScriptWords* row = FindScript(name);
  return row ? std::string(row->store) : std::string(wire::kStoreFile).append(name);
}

std::string_view MergeRequest(EntryKind kind) { return kind == EntryKind::kItem ? wire::kMergeItem : wire::kMergeNpc; }

}  // namespace orvo
