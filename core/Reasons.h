#pragma once

#include "Language.h"
#include "Status.h"

#include <string>
#include <string_view>

namespace veltran {

/// The sentence that tells a person why: the one table of the program's failure reasons, each code
/// with its English sentence (for the terminal and the report) and its Chinese one (for the window
/// and the run log), the context filling in what the reason concerns. Ok gives an empty text.
std::string ReasonText(StatusCode code, const StatusContext& context, Language language);

/// The status's reason for the audience: its message in English, or the table's Chinese sentence.
std::string ReasonText(const Status& status, Language language);

/// The code's name as the run report writes it: "InvalidBytes", "ChangedMeanwhile".
std::string_view CodeName(StatusCode code);

} // namespace veltran
