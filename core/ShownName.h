#pragma once

#include <string>
#include <string_view>

namespace veltran {

/// A file name or path as bytes, made fit to be shown to people on one line of UTF-8 text: valid
/// UTF-8 stays as it is; each byte of a sequence that is not valid UTF-8 becomes "\xHH"; a line feed,
/// carriage return and TAB become "\n", "\r" and "\t", other control characters (C0, DEL, C1) and the
/// line and paragraph separators "\u2028"-style escapes. A backslash stays as it is.
std::string ShownName(std::string_view bytes);

} // namespace veltran
