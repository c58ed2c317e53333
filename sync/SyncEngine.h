#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sync/CardDavClient.h"
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
  // The plan would delete more than the bound allows: nothing was done.
  bool massDeletion = false;
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
