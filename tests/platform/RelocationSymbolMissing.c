/* A library named like the relocation library that lacks its function. */
__attribute__((visibility("default"))) int some_other_function(void) { return 1; }
