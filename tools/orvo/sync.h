// orvo sync pull|push LOCALDIR [REMOTEDIR]: brings the plain files of one
// local folder and one folder of the game server in step. The files are
// compared by the service's listing (GDIR) and checksum (GFCS), and by what
// the last sync left here (sync_record.h); only what differs is moved. Push
// never deletes anything on the server, and refuses to replace a file that
// changed there since the last sync unless forced (--force); pull deletes
// local files that the server lacks only when asked (--delete). Subfolders
// are left alone on both sides.
#pragma once

#include <string>
#include <vector>

#include "tools/orvo/commands.h"

namespace orvo {

enum class SyncAction {
  kFetch,   // pull: the server's file replaces or creates the local one
  kStore,   // push: the local file replaces or creates the server's one
  kDelete,  // pull --delete: the local file is not on the server
  kKeep,    // only on one side, and left so
  kSame,    // the checksums agree
  kSkip,    // the service refused to tell (the reason says why)
  kRefuse,  // push: the server's file changed since the last sync
};

struct SyncItem {
  std::string name;
  SyncAction action = SyncAction::kSame;
  std::string reason;   // why this action: "new", "changed", ...
  bool forced = false;  // a store that --force made of a refusal
  bool done = false;    // after the run: carried out
  std::string problem;  // after the run or the planning: why it failed
  int failure = 0;      // the result of that failure (results.h)
};

struct SyncPlan {
  bool pull = true;
  bool delete_extra = false;  // pull: delete local files the server lacks
  bool force = false;         // push: store files that changed on the server too
  bool large = false;         // stores may take more than 2,999 packets
  std::string local;
  std::string remote;
  std::vector<SyncItem> items;  // in name order
};

// Whether a local file takes part in a sync: not hidden, not an editor's
// backup ("~" at the end), not one of orvo's own temporary files.
bool TakesPart(const std::string& name);

// The name of `file` in the remote folder `folder`, always with a folder
// part, so that a store lands where the fetch reads ("." gives "./file").
std::string RemoteName(const std::string& folder, const std::string& file);

class SyncRecord;

// Compares the two folders and fills `plan`'s items; a result of results.h. A
// file that `record` shows changed here since the last sync is kept by a
// pull, whatever the checksums say, and stored by a push unless the server's
// copy changed too (CheckServerCopy), which a push refuses unless forced.
int PlanSync(Session& s, const SyncRecord& record, SyncPlan* plan);

// The word for an action in the plan's text and JSON ("fetch", "store", ...).
std::string_view ActionWord(SyncAction action);

// Runs the sync command; a result of results.h (the first failure's).
int RunSync(Context& ctx, const Options& options);

}  // namespace orvo
