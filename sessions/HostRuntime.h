// Sessions opened through the graphical host's own FPGA library, which is loaded on first
// use and stays loaded for the life of the process.
#pragma once

#include <cstdint>

namespace zyostrel::sessions {

// Stores the host's thread-local-storage index, handed to the host library when it is loaded.
void setHostTlsIndex(uint32_t index) noexcept;

// Loads the host library once (concurrent callers wait for the first; a failed load is tried
// again by the next call), then opens as zyOstrel_OpenSession does through its open entry.
int32_t openThroughHostRuntime(const char* resourceName, const char* imagePath, uint32_t attribute,
                               uint32_t* session);

// Number of times the loader has run since load, for tests.
uint32_t hostRuntimeLoaderRuns() noexcept;

}  // namespace zyostrel::sessions
