#include "Product.h"

namespace veltran {

std::u16string ProductLine(bool withVersion)
{
    std::u16string line = std::u16string(kMakerName) + u' ' + kMakerHost + u"  " + kProductName;
    if (withVersion)
        line += kProductVersionSuffix;
    return line;
}

} // namespace veltran
