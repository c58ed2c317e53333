#pragma once

#include <curl/curl.h>

#include <string>

namespace zorvan::sync {

// The functions of libcurl the synchronisation calls, from the library opened when the first
// of them is needed: a command or a window that never synchronises does not load libcurl and
// the forty libraries it brings (5 ms at every start and 5 MB of memory).
struct SCurlFunctions {
  decltype(&::curl_global_init) global_init = nullptr;
  decltype(&::curl_easy_init) easy_init = nullptr;
  decltype(&::curl_easy_cleanup) easy_cleanup = nullptr;
  decltype(&::curl_easy_reset) easy_reset = nullptr;
  decltype(&::curl_easy_setopt) easy_setopt = nullptr;
  decltype(&::curl_easy_perform) easy_perform = nullptr;
  decltype(&::curl_easy_getinfo) easy_getinfo = nullptr;
  decltype(&::curl_easy_strerror) easy_strerror = nullptr;
  decltype(&::curl_slist_append) slist_append = nullptr;
  decltype(&::curl_slist_free_all) slist_free_all = nullptr;
  decltype(&::curl_url) url = nullptr;
  decltype(&::curl_url_set) url_set = nullptr;
  decltype(&::curl_url_get) url_get = nullptr;
  decltype(&::curl_url_cleanup) url_cleanup = nullptr;
  decltype(&::curl_free) free = nullptr;
};

// libcurl's functions, the library opened and initialised on the first call (thread-safe);
// null when it cannot be opened, with the reason in error.
const SCurlFunctions* Curl(std::string* error = nullptr);

}  // namespace zorvan::sync
