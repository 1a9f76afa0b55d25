#pragma once

#include "Status.h"

#include <string>

namespace veltran {

/// The system's text for an errno value, e.g. "No space left on device".
std::string SystemErrorText(int errorNumber);

/// A WriteFailed failure of a step that changes the disk: "<what>: <the system's text>".
Status WriteStepFailure(const std::string& what, int errorNumber);

} // namespace veltran
