#include "text/huge_page_heap.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARSEL_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TARSEL_ASAN 1
#endif

namespace {

#if defined(__linux__) && defined(__GLIBC__)
// "always" or "madvise" selected; with "never" the tunable would change nothing.
bool Huge_Pages_Offered()
{
    std::FILE *f = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "r");
    if (!f)
        return false;
    char line[128] = {};
    const bool read = std::fgets(line, sizeof line, f) != nullptr;
    std::fclose(f);
    return read && (std::strstr(line, "[always]") || std::strstr(line, "[madvise]"));
}
#endif

} // namespace

void Restart_With_Huge_Page_Heap(char **argv)
{
#if defined(__linux__) && defined(__GLIBC__) && __GLIBC_PREREQ(2, 35) && !defined(TARSEL_ASAN)
    const char *const name = "GLIBC_TUNABLES";
    const char *const tunable = "glibc.malloc.hugetlb";
    const char *old = std::getenv(name);
    if ((old && std::strstr(old, tunable)) || !argv || !argv[0] || !Huge_Pages_Offered())
        return;
    const std::string kept = old ? old : "";
    const std::string value = (kept.empty() ? std::string() : kept + ":") + tunable + "=1";
    if (::setenv(name, value.c_str(), 1) != 0)
        return;
    std::fflush(nullptr);
    ::execv("/proc/self/exe", argv);
    // The restart failed: go on as before, with the environment as it was.
    if (old)
        ::setenv(name, kept.c_str(), 1);
    else
        ::unsetenv(name);
#else
    (void)argv;
#endif
}
