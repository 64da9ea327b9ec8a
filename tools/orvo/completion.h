// What the shell offers for the word under the cursor: command words first,
// then by the command's row the keywords of its usage, remote names from the
// service's listings (GDIR), or local files.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tools/orvo/directory_record.h"

namespace orvo {

// Lists a remote folder; false when the service cannot.
using RemoteLister = std::function<bool(const std::string& folder, std::vector<DirectoryRecord>* records)>;

struct Completion {
  std::vector<std::string> candidates;  // whole words that begin with the typed part, sorted
  bool local_files = false;             // the word is a local file: the line editor completes it
};

// The completion of `word`, the text typed since the last blank, after the
// words of `before`. Remote folders end with "/" so that completion can go
// on inside them.
Completion Complete(std::string_view before, std::string_view word, const RemoteLister& list);

// What `words` have in common from their start; empty when there are none.
std::string CommonPrefix(const std::vector<std::string>& words);

// Keeps the listings that completion asked for until the next command.
class ListingCache {
 public:
  explicit ListingCache(RemoteLister list) : list_(std::move(list)) {}
  // The listing of `folder`, asked of the service once; false when it cannot list it.
  bool List(const std::string& folder, std::vector<DirectoryRecord>* records);
  // Forgets every listing (after a command, which may have changed them).
  void Clear() { listings_.clear(); }

 private:
  RemoteLister list_;
  std::map<std::string, std::vector<DirectoryRecord>> listings_;
};

}  // namespace orvo
