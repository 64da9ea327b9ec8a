#include "tools/orvo/sync.h"

#include <algorithm>
#include <map>
#include <ostream>

#include "tools/orvo/checksum.h"
#include "tools/orvo/edit.h"
#include "tools/orvo/json.h"
#include "tools/orvo/platform_files.h"
#include "tools/orvo/progress.h"
#include "tools/orvo/sync_record.h"

namespace orvo {

namespace {

std::string LocalPath(const SyncPlan& plan, const std::string& name) { return platform::JoinPath(plan.local, name); }

bool Moves(SyncAction a) { return a == SyncAction::kFetch || a == SyncAction::kStore || a == SyncAction::kDelete; }

// Decides one file that exists on at least one side. Returns kOk, or a
// failure that leaves the session out of step (the sync stops).
int PlanFile(Session& s, const SyncPlan& plan, const SyncRecord& record, bool listed, bool local, bool delete_extra,
             SyncItem* item) {
  if (plan.pull && !listed) {
    item->action = delete_extra ? SyncAction::kDelete : SyncAction::kKeep;
    item->reason = delete_extra ? "not on the server" : "not on the server (--delete removes it)";
    return kOk;
  }
  if (!plan.pull && !local) {
    item->action = SyncAction::kKeep;
    item->reason = "only on the server";
    return kOk;
  }
  SyncAction move = plan.pull ? SyncAction::kFetch : SyncAction::kStore;
  if (plan.pull && !local) {
    item->action = move;
    item->reason = "new";
    return kOk;
  }
  std::string data, error;
  if (platform::ReadWholeFile(LocalPath(plan, item->name), &data, &error) != 0) {
    item->action = SyncAction::kSkip;
    item->problem = error;
    item->failure = kLocalFileError;
    return kOk;
  }
  std::optional<uint64_t> synced = record.Find(item->name);
  if (synced && *synced != ContentHash(data)) {
    // A pull never overwrites work done here; a push sends it whatever the
    // checksums say.
    item->action = plan.pull ? SyncAction::kKeep : SyncAction::kStore;
    item->reason = plan.pull ? "changed here since the last sync (push it, or remove it to fetch the server's)"
                             : "changed here since the last sync";
    return kOk;
  }
  long long theirs = 0;
  int r = GetChecksum(s, RemoteName(plan.remote, item->name), &theirs);
  if (r != kOk) {
    if (!s.Usable()) return r;
    item->action = SyncAction::kSkip;
    item->problem = s.Problem();
    item->failure = r;
    return kOk;
  }
  int32_t mine = TextChecksum(data);
  // A file the listing leaves out (its extension is not listed) may still be
  // there: an equal checksum other than that of a missing file says so.
  if (theirs == mine && (listed || theirs != 0)) {
    item->action = SyncAction::kSame;
    item->reason = listed ? "unchanged" : "unchanged (not listed by the service)";
    return kOk;
  }
  item->action = move;
  item->reason = listed ? "changed" : "new";
  return kOk;
}

// Notes what a finished item leaves the local file holding.
void Remember(const SyncPlan& plan, const SyncItem& item, SyncRecord* record) {
  std::string data, error;
  if (item.action == SyncAction::kDelete) {
    record->Erase(item.name);
  } else if ((item.action == SyncAction::kSame || item.done) &&
             platform::ReadWholeFile(LocalPath(plan, item.name), &data, &error) == 0) {
    record->Set(item.name, ContentHash(data));
  }
}

// Carries out one item; kOk, or the failure (the session tells whether the
// sync can go on).
int RunItem(Session& s, const SyncPlan& plan, SyncItem* item) {
  std::string path = LocalPath(plan, item->name), error;
  std::string remote = RemoteName(plan.remote, item->name);
  if (item->action == SyncAction::kFetch) return FetchToFile(s, "GFIL" + remote, path);
  if (item->action == SyncAction::kDelete) {
    return platform::RemoveFile(path, &error) == 0 ? kOk : s.Fail(kLocalFileError, error);
  }
  std::string data;
  if (platform::ReadWholeFile(path, &data, &error) != 0) return s.Fail(kLocalFileError, error);
  return Store(s, "SFIL" + remote, WithLfLineEnds(data));
}

void PrintJson(const SyncPlan& plan, bool dry_run, std::ostream& out) {
  JsonWriter json;
  json.BeginObject().Key("direction").String(plan.pull ? "pull" : "push");
  json.Key("local").String(plan.local).Key("remote").String(plan.remote).Key("dry_run").Bool(dry_run);
  json.Key("files").BeginArray();
  for (const SyncItem& item : plan.items) {
    json.BeginObject().Key("name").String(item.name).Key("action").String(ActionWord(item.action));
    json.Key("reason").String(item.reason);
    if (!dry_run && Moves(item.action)) json.Key("done").Bool(item.done);
    if (!item.problem.empty()) json.Key("problem").String(item.problem);
    json.EndObject();
  }
  out << json.EndArray().EndObject().Text();
}

// The closing line: how many files went each way.
std::string Summary(const SyncPlan& plan, bool dry_run) {
  std::map<std::string, size_t> counts;
  for (const SyncItem& item : plan.items) {
    std::string key = std::string(ActionWord(item.action));
    if (Moves(item.action) && !dry_run && !item.done) key = "failed";
    if (item.action == SyncAction::kSkip) key = "failed";
    ++counts[key];
  }
  static constexpr std::pair<std::string_view, std::string_view> kOrder[] = {
      {"fetch", " fetched"}, {"store", " stored"}, {"delete", " deleted"}, {"same", " unchanged"},
      {"keep", " kept"},     {"failed", " failed"}};
  static constexpr std::pair<std::string_view, std::string_view> kPlanned[] = {
      {"fetch", " to fetch"}, {"store", " to store"}, {"delete", " to delete"}, {"same", " unchanged"},
      {"keep", " kept"},      {"failed", " failed"}};
  std::string text = std::string(plan.pull ? "pull" : "push") + (dry_run ? " (dry run):" : ":");
  bool first = true;
  for (size_t i = 0; i < std::size(kOrder); ++i) {
    auto [key, word] = dry_run ? kPlanned[i] : kOrder[i];
    size_t n = counts[std::string(key)];
    if (n == 0) continue;
    text += (first ? " " : ", ") + std::to_string(n) + std::string(word);
    first = false;
  }
  return text + (first ? " nothing to do\n" : "\n");
}

}  // namespace

bool TakesPart(const std::string& name) {
  return !name.empty() && !name.starts_with('.') && !name.ends_with('~');
}

std::string RemoteName(const std::string& folder, const std::string& file) {
  if (folder.empty() || folder == ".") return "./" + file;
  if (folder.ends_with('/') || folder.ends_with('\\')) return folder + file;
  return folder + "/" + file;
}

std::string_view ActionWord(SyncAction action) {
  switch (action) {
    case SyncAction::kFetch: return "fetch";
    case SyncAction::kStore: return "store";
    case SyncAction::kDelete: return "delete";
    case SyncAction::kKeep: return "keep";
    case SyncAction::kSame: return "same";
    case SyncAction::kSkip: return "skip";
  }
  return "?";
}

int PlanSync(Session& s, const SyncRecord& record, bool delete_extra, SyncPlan* plan) {
  std::vector<DirectoryRecord> records;
  int r = ListDirectory(s, plan->remote, &records);
  if (r != kOk) return r;
  // name -> (on the server, here)
  std::map<std::string, std::pair<bool, bool>> names;
  for (const DirectoryRecord& entry : records) {
    if (!(entry.attributes & kAttrDirectory)) names[entry.name].first = true;
  }
  std::vector<std::string> local;
  std::string error;
  platform::FileStatus folder = platform::StatusOf(plan->local);
  if (folder.exists && platform::ListPlainFiles(plan->local, &local, &error) != 0) {
    return s.Fail(kLocalFileError, error);
  }
  if (!folder.exists && !plan->pull) return s.Fail(kLocalFileError, "no folder " + plan->local);
  for (const std::string& name : local) {
    if (TakesPart(name)) names[name].second = true;
  }
  plan->items.clear();
  for (const auto& [name, sides] : names) {
    SyncItem item;
    item.name = name;
    if ((r = PlanFile(s, *plan, record, sides.first, sides.second, delete_extra, &item)) != kOk) return r;
    plan->items.push_back(std::move(item));
  }
  return kOk;
}

int RunSync(Context& ctx, const Options& options) {
  Session& s = *ctx.session;
  std::ostream& out = *ctx.env.out;
  SyncPlan plan;
  plan.pull = options.words[1] == "pull";
  plan.local = options.words[2];
  plan.remote = options.words.size() > 3 ? options.words[3] : ".";
  SyncRecord record;
  record.Load(plan.local);
  int r = PlanSync(s, record, options.delete_extra, &plan);
  if (r != kOk) return r;

  int first_failure = kOk;
  std::string first_problem;
  auto failed = [&](int result, const std::string& problem) {
    if (first_failure == kOk) {
      first_failure = result;
      first_problem = problem;
    }
  };
  for (const SyncItem& item : plan.items) {
    if (item.action == SyncAction::kSkip) failed(item.failure, item.name + ": " + item.problem);
  }
  std::string error;
  if (!options.dry_run && plan.pull && platform::MakeFolders(plan.local, 0777, &error) != 0) {
    return s.Fail(kLocalFileError, error);
  }

  size_t moves = static_cast<size_t>(std::count_if(plan.items.begin(), plan.items.end(),
                                                   [](const SyncItem& i) { return Moves(i.action); }));
  if (!options.dry_run) {
    SyncBar bar(ctx.env, moves);
    ProgressFn saved = s.Progress();
    size_t done = 0;
    for (SyncItem& item : plan.items) {
      if (!Moves(item.action)) continue;
      if (!s.Usable()) {
        item.problem = "not done: the connection was lost";
        item.failure = kConnectionLost;
        continue;
      }
      bar.Show(done, 0, item.name);
      s.SetProgress([&](long long part, long long total) {
        bar.Show(done, total > 0 ? static_cast<double>(part) / static_cast<double>(total) : 0, item.name);
      });
      r = RunItem(s, plan, &item);
      ++done;
      item.done = r == kOk;
      if (r != kOk) {
        item.problem = s.Problem();
        item.failure = r;
        failed(r, item.name + ": " + item.problem);
      }
    }
    s.SetProgress(saved);
    bar.Finish();
    for (const SyncItem& item : plan.items) Remember(plan, item, &record);
    if (record.Save(&error) != 0) failed(kLocalFileError, error);
  }

  if (options.json) {
    PrintJson(plan, options.dry_run, out);
  } else {
    for (const SyncItem& item : plan.items) {
      if (item.action == SyncAction::kSame) continue;
      std::string word(ActionWord(item.action));
      if (!item.problem.empty()) {
        out << "failed  " << item.name << ": " << item.problem << "\n";
      } else if (options.dry_run || !Moves(item.action)) {
        out << word << std::string(8 - std::min<size_t>(word.size(), 7), ' ') << item.name << " (" << item.reason << ")\n";
      } else {
        out << (word == "fetch" ? "fetched " : word == "store" ? "stored  " : "deleted ") << item.name << "\n";
      }
    }
    out << Summary(plan, options.dry_run);
  }
  if (first_failure != kOk) return s.Fail(first_failure, first_problem);
  return kOk;
}

}  // namespace orvo
