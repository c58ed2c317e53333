// The synchronisation state's section and the merge of cards, on arbitrary bytes. Input that
// holds no zero byte is a state's payload: one that reads is written back as the same bytes.
// Otherwise it is three cards, base, local and remote, parted by zero bytes: they merge without
// a fault, and a card merged with itself has no conflict.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sync/CardMerge.h"
#include "sync/SyncState.h"

using namespace zorvan::sync;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const size_t first = bytes.find('\0');
  if (first == std::string_view::npos) {
    SSyncState state;
    std::string reason;
    if (ReadSyncState(bytes, state, reason)) {
      if (WriteSyncState(state) != bytes) std::abort();
    } else if (reason.empty() || !state.Empty()) {
      std::abort();  // a refusal always says why, and leaves nothing half read
    }
    return 0;
  }
  const std::string_view base = bytes.substr(0, first);
  std::string_view rest = bytes.substr(first + 1);
  const size_t second = rest.find('\0');
  const std::string_view local = rest.substr(0, second);
  const std::string_view remote =
      second == std::string_view::npos ? std::string_view() : rest.substr(second + 1);
  const CCardMerge merge = MergeCards(base, local, remote);
  (void)merge.Text(EMergeChoice::local);
  (void)merge.Text(EMergeChoice::remote);
  if (!MergeCards(local, local, local).Conflicts().empty()) std::abort();
  return 0;
}
