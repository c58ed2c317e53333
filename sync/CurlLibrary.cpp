#include "sync/CurlLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace zorvan::sync {
namespace {

struct SLoaded {
  SCurlFunctions functions;
  bool ok = false;
  std::string error;
};

// The symbol of the library into f; false when it has none.
template <typename F>
bool Take(void* library, const char* name, F& f) {
  void* symbol = ::dlsym(library, name);
  f = reinterpret_cast<F>(symbol);
  return symbol != nullptr;
}

SLoaded Load() {
  SLoaded l;
  // The name of the library's ABI, which the development package's link name points to.
  void* library = ::dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
  if (!library) library = ::dlopen("libcurl.so", RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* reason = ::dlerror();
    l.error = std::string("libcurl cannot be loaded: ") + (reason ? reason : "not found");
    return l;
  }
  SCurlFunctions& f = l.functions;
  const bool all =
      Take(library, "curl_global_init", f.global_init) &&
      Take(library, "curl_easy_init", f.easy_init) &&
      Take(library, "curl_easy_cleanup", f.easy_cleanup) &&
      Take(library, "curl_easy_reset", f.easy_reset) &&
      Take(library, "curl_easy_setopt", f.easy_setopt) &&
      Take(library, "curl_easy_perform", f.easy_perform) &&
      Take(library, "curl_easy_getinfo", f.easy_getinfo) &&
      Take(library, "curl_easy_strerror", f.easy_strerror) &&
      Take(library, "curl_slist_append", f.slist_append) &&
      Take(library, "curl_slist_free_all", f.slist_free_all) && Take(library, "curl_url", f.url) &&
      Take(library, "curl_url_set", f.url_set) && Take(library, "curl_url_get", f.url_get) &&
      Take(library, "curl_url_cleanup", f.url_cleanup) && Take(library, "curl_free", f.free);
  // The library stays loaded for the process: its handles may live until the end.
  if (!all) {
    l.error = "libcurl is too old: it lacks the URL functions of version 7.62";
    return l;
  }
  l.ok = f.global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (!l.ok) l.error = "libcurl did not start";
  return l;
}

}  // namespace

const SCurlFunctions* Curl(std::string* error) {
  static std::once_flag once;
  static SLoaded loaded;
  std::call_once(once, [] { loaded = Load(); });
  if (!loaded.ok && error) *error = loaded.error;
  return loaded.ok ? &loaded.functions : nullptr;
}

}  // namespace zorvan::sync
