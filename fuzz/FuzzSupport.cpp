#include "FuzzSupport.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVID_FUZZ_HAVE_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define CORVID_FUZZ_HAVE_ASAN 1
#endif

#ifdef CORVID_FUZZ_HAVE_ASAN
// Both compilers' AddressSanitizer runtimes have it; only clang ships the header.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void *, size_t),
                                                         void (*free_hook)(const volatile void *));
#endif

namespace corvid_fuzz {
namespace {
bool watching = false;
size_t largest = 0;

#ifdef CORVID_FUZZ_HAVE_ASAN
void onMalloc(const volatile void *, size_t size)
{
    if (watching && size > largest)
        largest = size;
}
void onFree(const volatile void *) {}
#endif
} // namespace

void AllocationWatch::start()
{
#ifdef CORVID_FUZZ_HAVE_ASAN
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
    (void)installed;
#endif
    largest = 0;
    watching = true;
}

size_t AllocationWatch::stop()
{
    watching = false;
    return largest;
}

} // namespace corvid_fuzz
