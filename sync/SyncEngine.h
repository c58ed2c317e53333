#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sync/CardDavClient.h"
#include "sync/CardMerge.h"
#include "sync/SyncState.h"

namespace zorvan {
class CZorvanDoc;
}

// One two-way synchronisation of a bound group with its address book: lists the server's cards
// (by sync-collection since the last token where the server keeps one, else all of them), plans
// against the state of the last agreement, fetches and merges, writes both sides and records
// the new agreement in the binding. A failure of the connection or of the server stops it where
// it is: what was done is recorded (every step agreed on stays agreed), the rest waits for the
// next run, and nothing is deleted for being missing from an answer that failed. A card the
// server refuses alone is left out and the run goes on (SRefusedCard).
namespace zorvan::sync {

// What happens to a property changed on both sides in two ways.
enum class EConflictPolicy {
  leave,   // the contact stays unsynchronised on both sides and is counted as a conflict
  local,   // this database's value wins
  remote,  // the server's value wins
};

struct SSyncOptions {
  EConflictPolicy conflicts = EConflictPolicy::leave;
  // Deletions above the bound of MassDeletion are done only when allowed.
  bool allowMassDelete = false;
  // Runs a step that reads or changes the document and waits for it; unset, the step runs
  // where the engine runs. A window runs the engine on a worker and its steps on its own
  // thread, which owns the tree: the network and the merges stay on the worker. The steps are
  // batched (all cards read at once, all fetched cards taken at once), so that there are few.
  std::function<void(const std::function<void()>& step)> runLocal;
  // Called as cards are fetched, merged, uploaded and deleted: done of total steps.
  std::function<void(size_t done, size_t total)> progress;
  // Decides a contact's conflicts (label is its name here): one choice per conflict, or
  // nullopt to leave the contact unsynchronised for now. Unset, conflicts decides. It is
  // called on the engine's thread, never inside a step of runLocal.
  std::function<std::optional<std::vector<EMergeChoice>>(
      const std::string& label, const std::vector<SCardConflict>& conflicts)>
      resolve;
};

struct SSyncCounts {
  size_t fetched = 0;       // cards taken here, new or changed
  size_t uploaded = 0;      // cards written to the server, new or changed
  size_t deletedHere = 0;   // contacts deleted here because they went there
  size_t deletedThere = 0;  // cards deleted there because the contacts went here
  size_t merged = 0;        // contacts changed on both sides and merged
  size_t conflicts = 0;     // contacts left unsynchronised for their conflicts
};

// A write the server refused for that card alone (its content, its size, its UID taken by
// another card there): the contact stays as it is here, unsynchronised, and the next run tries
// it again.
struct SRefusedCard {
  std::string uid;
  std::string label;   // the contact's label here
  std::string reason;  // the failure's message, with the server's words
};

struct SSyncOutcome {
  SDavStatus status;
  // The plan would delete more than the bound allows: nothing was done. How many contacts
  // it would have deleted here and cards there, for the question whether to go on.
  bool massDeletion = false;
  size_t wouldDeleteHere = 0;
  size_t wouldDeleteThere = 0;
  SSyncCounts counts;
  std::vector<SRefusedCard> refused;
};

// "fetched 3, uploaded 1, deleted here 0, deleted there 0, merged 1, conflicts 0".
std::string CountsLine(const SSyncCounts& counts);

// Synchronises the group of binding (found by its UID below the contacts root) with the address
// book at binding.bookHref on the client's server. The document and binding change as the
// steps succeed; the caller stores the state (StoreSyncState) and saves.
SSyncOutcome Synchronize(CZorvanDoc& doc, CCardDavClient& client, SBinding& binding,
                         const SSyncOptions& options);

}  // namespace zorvan::sync
