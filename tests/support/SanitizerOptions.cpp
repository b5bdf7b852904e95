// Linked into every test binary: under AddressSanitizer a refused allocation comes back as
// null, as it does without it, so tests of allocation failures run in both builds.
extern "C" __attribute__((visibility("default"), used)) const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}
