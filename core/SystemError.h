#pragma once

#include "Status.h"

#include <string>

namespace veltran {

/// The system's text for an errno value, e.g. "No space left on device".
std::string SystemErrorText(int errorNumber);

} // namespace veltran
