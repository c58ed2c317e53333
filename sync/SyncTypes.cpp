#include "sync/SyncTypes.h"

namespace zorvan::sync {
namespace {

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string NormalizeEtag(std::string_view etag) {
  etag = Trimmed(etag);
  std::string weak;
  if (etag.starts_with("W/")) {
    weak = "W/";
    etag.remove_prefix(2);
  }
  if (etag.size() >= 2 && etag.front() == '"' && etag.back() == '"')
    etag = etag.substr(1, etag.size() - 2);
  return weak + std::string(etag);
}

std::string QuotedEtag(std::string_view etag) {
  std::string bare = NormalizeEtag(etag);
  std::string weak;
  if (bare.starts_with("W/")) {
    weak = "W/";
    bare.erase(0, 2);
  }
  return weak + '"' + bare + '"';
}

}  // namespace zorvan::sync
