#include "tools/orvo/completion.h"

#include <algorithm>

#include "tools/orvo/commands.h"
#include "tools/orvo/options.h"

namespace orvo {

namespace {

void AddIfMatching(std::vector<std::string>* out, std::string_view word, std::string candidate) {
  if (std::string_view(candidate).starts_with(word)) out->push_back(std::move(candidate));
}

// Remote names under the folder part of `word`.
void CompleteRemote(std::string_view word, bool folders_only, const RemoteLister& list,
                    std::vector<std::string>* out) {
  size_t sep = word.find_last_of("/\\");
  std::string folder = sep == std::string_view::npos ? "." : std::string(word.substr(0, sep));
  std::string prefix = sep == std::string_view::npos ? "" : std::string(word.substr(0, sep + 1));
  if (folder.empty()) return;  // the root of the machine is never inside the game server's folders
  std::vector<DirectoryRecord> records;
  if (!list(folder, &records)) return;
  for (const DirectoryRecord& r : records) {
    if (r.name == "." || r.name == "..") continue;
    bool is_folder = (r.attributes & kAttrDirectory) != 0;
    if (folders_only && !is_folder) continue;
    AddIfMatching(out, word, prefix + r.name + (is_folder ? "/" : ""));
  }
}

}  // namespace

Completion Complete(std::string_view before, std::string_view word, const RemoteLister& list) {
  Completion c;
  std::vector<std::string> words;
  SplitWords(std::string(before), &words);
  if (words.empty()) {
    ForEachCommand([&](const CommandRow& row) {
      if (Available(row, Where::kShell)) AddIfMatching(&c.candidates, word, std::string(row.name));
    });
    std::sort(c.candidates.begin(), c.candidates.end());
    return c;
  }
  const CommandRow* row = FindCommand(words[0]);
  if (row == nullptr) return c;
  // The argument's place, counting neither options nor their values.
  size_t place = 0;
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "-o" || words[i] == "--output") {
      if (i + 1 == words.size()) {
        c.local_files = true;
        return c;
      }
      ++i;
    } else if (!words[i].starts_with('-')) {
      ++place;
    }
  }
  if (word.starts_with('-') || place >= row->completes.size()) return c;
  switch (row->completes[place]) {
    case 'l':
      c.local_files = true;
      break;
    case 'k': {
      std::string_view keywords = row->usage.substr(0, row->usage.find(' '));
      for (size_t start = 0; start <= keywords.size();) {
        size_t bar = std::min(keywords.find('|', start), keywords.size());
        AddIfMatching(&c.candidates, word, std::string(keywords.substr(start, bar - start)));
        start = bar + 1;
      }
      break;
    }
    case 'r':
    case 'f':
      CompleteRemote(word, row->completes[place] == 'f', list, &c.candidates);
      break;
  }
  std::sort(c.candidates.begin(), c.candidates.end());
  return c;
}

std::string CommonPrefix(const std::vector<std::string>& words) {
  if (words.empty()) return {};
  std::string common = words.front();
  for (const std::string& w : words) {
    size_t n = 0;
    while (n < common.size() && n < w.size() && common[n] == w[n]) ++n;
    common.resize(n);
  }
  return common;
}

bool ListingCache::List(const std::string& folder, std::vector<DirectoryRecord>* records) {
  auto found = listings_.find(folder);
  if (found == listings_.end()) {
    std::vector<DirectoryRecord> listed;
    if (!list_(folder, &listed)) return false;
    found = listings_.emplace(folder, std::move(listed)).first;
  }
  *records = found->second;
  return true;
}

}  // namespace orvo
