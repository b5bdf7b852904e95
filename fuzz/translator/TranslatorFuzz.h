// Entries that drive the error description file parser and the translation of elaborations
// over arbitrary bytes, shared by the fuzzers and the corpus replay test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zyfuzz {

// Parses the bytes as an error description file for a few codes and checks the outcome:
// a description without trailing line ends, or a failure recorded as a missing resource.
// Aborts on a broken rule.
void exerciseErrorFile(const uint8_t* data, std::size_t size);

// Translates a status whose elaboration is the bytes (bounded as the device's reply is),
// with and without nested errors, through a translator whose report is the bytes too. The
// description must never be empty. Aborts on a broken rule.
void exerciseTranslation(const uint8_t* data, std::size_t size);

}  // namespace zyfuzz
