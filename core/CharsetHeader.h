#pragma once

#include "EncodingId.h"
#include "RuleTable.h"

#include <string>
#include <string_view>

namespace veltran {

/// Stored as the old text of insert and append rules, and shown greyed in the rule editor.
inline constexpr char16_t kInsertPlaceholder[] = u"<插入或追加新内容，这里不需要输入>";

/// The four header lines, each ended by CR LF, that declare the target's code page and charset
/// to ASP and name the tool and the moment `dateTime` in an HTML comment.
std::u16string CharsetHeaderText(EncodingId target, std::u16string_view dateTime);

/// Makes rule 1 the built-in charset rule for the target if it has not been made yet
/// (its kind is NotMade). Returns true when it made the rule.
bool MakeCharsetRule(RuleTable& rules, EncodingId target, std::u16string_view dateTime);

/// The same with the moment as UTF-8 text, as NowText gives it.
bool MakeCharsetRule(RuleTable& rules, EncodingId target, std::string_view dateTimeUtf8);

} // namespace veltran
