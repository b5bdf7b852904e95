// The bundle reader's fuzz entries, shared by the libFuzzer harnesses and the corpus replay
// test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zyfuzz {

// Opens data as a bundle archive and runs every query on every image its manifest names.
int readBundleArchive(const uint8_t* data, std::size_t size);

// Stores data as the "manifest.json" of a tar bundle beside a few fixed images and runs every
// query of the reader on it.
int readBundleManifest(const uint8_t* data, std::size_t size);

}  // namespace zyfuzz
