#include "SystemError.h"

#include <cstring>

namespace veltran {

std::string SystemErrorText(int errorNumber)
{
    char buffer[256];
    // GNU strerror_r may return a static string instead of filling the buffer.
    return strerror_r(errorNumber, buffer, sizeof buffer);
}

} // namespace veltran
