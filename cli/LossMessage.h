#pragma once

#include "UnmappableCharacters.h"

#include <ostream>
#include <string>

namespace veltran {

/// Writes to `err` the line that tells of the characters a file's target lacks: "veltran-cli: NAME: 2
/// characters the target lacks written as "?": U+00E9 é U+1F600 😀", "would be" in a dry run, "left
/// out" for Dropped, "references" for Reference; " ..." ends it when there were more than the
/// examples. `name` is shown as given. Nothing is written when none was lost.
void PrintLoss(std::ostream& err, const std::string& name, const UnmappableCharacters& lost, UnmappableAs as,
               bool dryRun);

} // namespace veltran
