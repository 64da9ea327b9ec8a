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
#include "wire/commands.h"

namespace orvo {

namespace {

std::string LocalPath(const SyncPlan& plan, const std::string& name) { return platform::JoinPath(plan.local, name); }

bool Moves(SyncAction a) { return a == SyncAction::kFetch || a == SyncAction::kStore || a == SyncAction::kDelete; }

// Records that a file could not be compared.
int Skip(SyncItem* item, int failure, std::string problem) {
  item->action = SyncAction::kSkip;
  item->problem = std::move(problem);
  item->failure = failure;
  return kOk;
}

// Push: the file changed on the server since the last sync. Refused, or
// stored when forced.
void ChangedThere(const SyncPlan& plan, bool changed_here, SyncItem* item) {
  std::string what = changed_here ? "changed here and on the server since the last sync"
                                  : "changed on the server since the last sync";
  item->action = plan.force ? SyncAction::kStore : SyncAction::kRefuse;
  item->forced = plan.force;
  item->reason = what + (plan.force ? "; stored with --force" : "; --force stores it anyway");
}

// Decides one file that exists on at least one side. Returns kOk, or a
// failure that leaves the session out of step (the sync stops).
int PlanFile(Session& s, const SyncPlan& plan, const SyncRecord& record, bool listed, bool local, SyncItem* item) {
  if (plan.pull && !listed) {
    item->action = plan.delete_extra ? SyncAction::kDelete : SyncAction::kKeep;
    item->reason = plan.delete_extra ? "not on the server" : "not on the server (--delete removes it)";
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
    return Skip(item, kLocalFileError, error);
  }
  std::optional<SyncedFile> synced = record.Find(item->name);
  const bool changed_here = synced && synced->local != ContentHash(data);
  if (changed_here && plan.pull) {
    // A pull never overwrites work done here.
    item->action = SyncAction::kKeep;
    item->reason = "changed here since the last sync (push it, or remove it to fetch the server's)";
    return kOk;
  }
  // What the server held at the last sync: recorded, or, for a file unchanged
  // here since a record of an older orvo, what the service made of it.
  std::optional<ServerCopy> base = synced ? synced->server : std::nullopt;
  if (!base && synced && !changed_here) base = CopyAfterStore(data);
  if (changed_here) {
    item->action = SyncAction::kStore;
    item->reason = "changed here since the last sync";
    if (!base) return kOk;
    int r = CheckServerCopy(s, RemoteName(plan.remote, item->name), *base);
    if (r == kConflict) ChangedThere(plan, true, item);
    if (r == kOk || r == kConflict) return kOk;
    return s.Usable() ? Skip(item, r, s.Problem()) : r;
  }
  long long theirs = 0;
  int r = GetChecksum(s, RemoteName(plan.remote, item->name), &theirs);
  if (r != kOk) return s.Usable() ? Skip(item, r, s.Problem()) : r;
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
  // Unchanged here, so the server's copy is what changed.
  if (!plan.pull && base) ChangedThere(plan, false, item);
  return kOk;
}

// Notes what a finished item leaves the local file and the server's copy
// holding.
void Remember(const SyncPlan& plan, const SyncItem& item, SyncRecord* record) {
  std::string data, error;
  if (item.action == SyncAction::kDelete) {
    record->Erase(item.name);
    return;
  }
  if ((item.action != SyncAction::kSame && !item.done) ||
      platform::ReadWholeFile(LocalPath(plan, item.name), &data, &error) != 0) {
    return;
  }
  SyncedFile file{ContentHash(data), std::nullopt};
  std::optional<SyncedFile> before = record->Find(item.name);
  if (item.action == SyncAction::kFetch) {
    file.server = CopyOf(data);
  } else if (item.action == SyncAction::kSame && before && before->local == file.local && before->server) {
    file.server = before->server;  // still what it was
  } else {
    file.server = CopyAfterStore(data);  // stored, or the same by checksum
  }
  record->Set(item.name, file);
}

// Carries out one item; kOk, or the failure (the session tells whether the
// sync can go on).
int RunItem(Session& s, const SyncPlan& plan, SyncItem* item) {
  std::string path = LocalPath(plan, item->name), error;
  std::string remote = RemoteName(plan.remote, item->name);
  if (item->action == SyncAction::kFetch) return FetchToFile(s, std::string(wire::kFetchFile) + remote, path);
  if (item->action == SyncAction::kDelete) {
    return platform::RemoveFile(path, &error) == 0 ? kOk : s.Fail(kLocalFileError, error);
  }
  std::string data;
  if (platform::ReadWholeFile(path, &data, &error) != 0) return s.Fail(kLocalFileError, error);
  return Store(s, std::string(wire::kStoreFile) + remote, WithLfLineEnds(data), plan.large);
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
      {"keep", " kept"},     {"refuse", " refused"}, {"failed", " failed"}};
  static constexpr std::pair<std::string_view, std::string_view> kPlanned[] = {
      {"fetch", " to fetch"}, {"store", " to store"}, {"delete", " to delete"}, {"same", " unchanged"},
      {"keep", " kept"},      {"refuse", " refused"}, {"failed", " failed"}};
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
    case SyncAction::kRefuse: return "refuse";
  }
  return "?";
}

int PlanSync(Session& s, const SyncRecord& record, SyncPlan* plan) {
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
    if ((r = PlanFile(s, *plan, record, sides.first, sides.second, &item)) != kOk) return r;
    plan->items.push_back(std::move(item));
  }
  return kOk;
}

int RunSync(Context& ctx, const Options& options) {
  Session& s = *ctx.session;
  std::ostream& out = *ctx.env.out;
  SyncPlan plan;
  plan.pull = options.words[1] == "pull";
  plan.delete_extra = options.delete_extra;
  plan.force = options.force;
  plan.large = options.large;
  plan.local = options.words[2];
  plan.remote = options.words.size() > 3 ? options.words[3] : ".";
  SyncRecord record;
  record.Load(plan.local);
  int r = PlanSync(s, record, &plan);
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
    if (item.action == SyncAction::kRefuse) failed(kConflict, item.name + ": " + item.reason);
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
    bool interrupted = false;
    for (SyncItem& item : plan.items) {
      if (!Moves(item.action)) continue;
      if (!s.Usable()) {
        item.problem = interrupted ? "not done: interrupted" : "not done: the connection was lost";
        item.failure = interrupted ? kInterrupted : kConnectionLost;
        continue;
      }
      bar.Show(done, 0, item.name);
      s.SetProgress([&](long long part, long long total) {
        bar.Show(done, total > 0 ? static_cast<double>(part) / static_cast<double>(total) : 0, item.name);
      });
      r = RunItem(s, plan, &item);
      ++done;
      item.done = r == kOk;
      interrupted = interrupted || r == kInterrupted;
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
      } else if (item.action == SyncAction::kRefuse) {
        out << "refused " << item.name << " (" << item.reason << ")\n";
      } else if (options.dry_run || !Moves(item.action)) {
        out << word << std::string(8 - std::min<size_t>(word.size(), 7), ' ') << item.name << " (" << item.reason << ")\n";
      } else {
        out << (word == "fetch" ? "fetched " : word == "store" ? "stored  " : "deleted ") << item.name;
        // A forced store replaced a colleague's change: say so.
        out << (item.forced ? " (" + item.reason + ")\n" : "\n");
      }
    }
    out << Summary(plan, options.dry_run);
  }
  if (first_failure != kOk) return s.Fail(first_failure, first_problem);
  return kOk;
}

}  // namespace orvo
