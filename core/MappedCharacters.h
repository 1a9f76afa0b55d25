#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltran {

/// The characters the Chinese mapping changed in a text, for a check that shows what a file would
/// become: how many, and the first few changes.
struct MappedCharacters
{
    static constexpr std::size_t kExamples = 5;

    std::size_t count = 0;
    std::vector<std::pair<char32_t, char32_t>> examples; // the first kExamples distinct changes, in order

    /// Counts the characters in which the mapping's output `after` differs from its input `before`.
    /// The mapping keeps every character in its place; texts whose character counts differ anyway are
    /// compared up to the shorter one's end.
    void Compare(std::u16string_view before, std::u16string_view after);

    /// The examples as people read them: "後→后 頭→头".
    std::string ExamplesText() const;
};

} // namespace veltran
