#include "LossMessage.h"

namespace veltran {

void PrintLoss(std::ostream& err, const std::string& name, const UnmappableCharacters& lost, UnmappableAs as,
               bool dryRun)
{
    if (lost.count == 0)
        return;
    const char* how = as == UnmappableAs::Reference ? "written as references"
                      : as == UnmappableAs::Dropped ? "left out"
                                                    : "written as \"?\"";
    err << "veltran-cli: " << name << ": " << lost.count << " character" << (lost.count == 1 ? "" : "s")
        << " the target lacks " << (dryRun ? "would be " : "") << how << ":";
    for (const char32_t character : lost.examples)
        err << ' ' << DescribeCharacter(character);
    err << (lost.count > lost.examples.size() ? " ...\n" : "\n");
}

} // namespace veltran
