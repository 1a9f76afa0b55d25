#pragma once

#include <cstddef>
#include <cstdint>

namespace veltran::sha256 {

/// Whether this processor has the SHA extensions (x86-64 only).
bool ExtensionsAvailable();

/// Hashes `blocks` 64-byte blocks into the state with the SHA extensions, several times faster than
/// plain code: hashing every original and every new file of a run must not slow the run down.
/// Only when ExtensionsAvailable().
void CompressWithExtensions(std::uint32_t state[8], const std::uint8_t* data, std::size_t blocks);

} // namespace veltran::sha256
