#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace veltran {

/// Raw file content.
using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

} // namespace veltran
