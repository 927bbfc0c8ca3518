// libcurl is opened when it is first needed, not at start: with the 25
// libraries it brings it took 15 ms of every start, for commands that never
// go on the network. The functions below stand in for libcurl's own, with
// its prototypes, and forward to it.
#define CURL_DISABLE_TYPECHECK // the checks are macros over the names defined here
#include <curl/curl.h>

#include <cstdarg>
#include <dlfcn.h>
#include <stdexcept>
#include <string>

namespace {

#define TOMORINE_CURL_FUNCTIONS(X)                                                             \
    X(curl_global_init)                                                                        \
    X(curl_free)                                                                               \
    X(curl_easy_init) X(curl_easy_setopt) X(curl_easy_perform) X(curl_easy_getinfo)            \
    X(curl_easy_cleanup) X(curl_easy_strerror)                                                 \
    X(curl_multi_init) X(curl_multi_setopt) X(curl_multi_add_handle)                           \
    X(curl_multi_remove_handle) X(curl_multi_perform) X(curl_multi_poll) X(curl_multi_wakeup) \
    X(curl_multi_info_read) X(curl_multi_cleanup) X(curl_multi_strerror)                       \
    X(curl_slist_append) X(curl_slist_free_all)                                                \
    X(curl_url) X(curl_url_set) X(curl_url_get) X(curl_url_cleanup)

struct Library {
#define TOMORINE_CURL_FIELD(name) decltype(&::name) name = nullptr;
    TOMORINE_CURL_FUNCTIONS(TOMORINE_CURL_FIELD)
};

constexpr const char* kSoname = "libcurl.so.4";

Library Open() {
    void* handle = ::dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        throw std::runtime_error(std::string(kSoname) + " を読み込めません: " + ::dlerror());
    }
    Library library;
#define TOMORINE_CURL_RESOLVE(name)                                                            \
    library.name = reinterpret_cast<decltype(library.name)>(::dlsym(handle, #name));           \
    if (library.name == nullptr) {                                                             \
        throw std::runtime_error(std::string(kSoname) + " に " #name " がありません");         \
    }
    TOMORINE_CURL_FUNCTIONS(TOMORINE_CURL_RESOLVE)
    return library;
}

// Throws std::runtime_error naming the library when it cannot be opened;
// the next call tries again.
const Library& Curl() {
    static const Library library = Open();
    return library;
}

// The one argument after an option, read as its type says (the option's
// number range): libcurl reads it the same way.
template <typename Function, typename Handle, typename Option>
auto ForwardOption(Function function, Handle handle, Option option, va_list args) {
    const long type = static_cast<long>(option) / 10000 * 10000;
    if (type == CURLOPTTYPE_LONG) {
        return function(handle, option, va_arg(args, long));
    }
    if (type == CURLOPTTYPE_OFF_T) {
        return function(handle, option, va_arg(args, curl_off_t));
    }
    return function(handle, option, va_arg(args, void*));
}

} // namespace

extern "C" {

CURLcode curl_global_init(long flags) { return Curl().curl_global_init(flags); }
void curl_free(void* p) { Curl().curl_free(p); }

CURL* curl_easy_init() { return Curl().curl_easy_init(); }
CURLcode curl_easy_setopt(CURL* curl, CURLoption option, ...) {
    va_list args;
    va_start(args, option);
    const CURLcode code = ForwardOption(Curl().curl_easy_setopt, curl, option, args);
    va_end(args);
    return code;
}
CURLcode curl_easy_perform(CURL* curl) { return Curl().curl_easy_perform(curl); }
// Every CURLINFO takes a pointer.
CURLcode curl_easy_getinfo(CURL* curl, CURLINFO info, ...) {
    va_list args;
    va_start(args, info);
    void* out = va_arg(args, void*);
    va_end(args);
    return Curl().curl_easy_getinfo(curl, info, out);
}
void curl_easy_cleanup(CURL* curl) { Curl().curl_easy_cleanup(curl); }
const char* curl_easy_strerror(CURLcode code) { return Curl().curl_easy_strerror(code); }

CURLM* curl_multi_init() { return Curl().curl_multi_init(); }
CURLMcode curl_multi_setopt(CURLM* multi, CURLMoption option, ...) {
    va_list args;
    va_start(args, option);
    const CURLMcode code = ForwardOption(Curl().curl_multi_setopt, multi, option, args);
    va_end(args);
    return code;
}
CURLMcode curl_multi_add_handle(CURLM* multi, CURL* curl) {
    return Curl().curl_multi_add_handle(multi, curl);
}
CURLMcode curl_multi_remove_handle(CURLM* multi, CURL* curl) {
    return Curl().curl_multi_remove_handle(multi, curl);
}
CURLMcode curl_multi_perform(CURLM* multi, int* running) {
    return Curl().curl_multi_perform(multi, running);
}
CURLMcode curl_multi_poll(CURLM* multi, struct curl_waitfd extra[], unsigned int count,
                          int timeoutMs, int* ready) {
    return Curl().curl_multi_poll(multi, extra, count, timeoutMs, ready);
}
CURLMcode curl_multi_wakeup(CURLM* multi) { return Curl().curl_multi_wakeup(multi); }
CURLMsg* curl_multi_info_read(CURLM* multi, int* left) {
    return Curl().curl_multi_info_read(multi, left);
}
CURLMcode curl_multi_cleanup(CURLM* multi) { return Curl().curl_multi_cleanup(multi); }
const char* curl_multi_strerror(CURLMcode code) { return Curl().curl_multi_strerror(code); }

curl_slist* curl_slist_append(curl_slist* list, const char* item) {
    return Curl().curl_slist_append(list, item);
}
void curl_slist_free_all(curl_slist* list) { Curl().curl_slist_free_all(list); }

CURLU* curl_url() { return Curl().curl_url(); }
CURLUcode curl_url_set(CURLU* url, CURLUPart what, const char* part, unsigned int flags) {
    return Curl().curl_url_set(url, what, part, flags);
}
CURLUcode curl_url_get(CURLU* url, CURLUPart what, char** part, unsigned int flags) {
    return Curl().curl_url_get(url, what, part, flags);
}
void curl_url_cleanup(CURLU* url) { Curl().curl_url_cleanup(url); }

} // extern "C"
