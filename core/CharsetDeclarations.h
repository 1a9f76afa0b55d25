#pragma once

#include "Bytes.h"
#include "EncodingId.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace veltran {

/// The encoding family a charset label names: gb2312, gbk, gb18030, cp936, x-gbk and 936 are GB;
/// big5, cp950, x-x-big5 and 950 are BIG5; utf-8, utf8 and 65001 are UTF-8. Letter case does not
/// matter; other labels name none of the three.
std::optional<EncodingId> CharsetLabelFamily(std::u16string_view label);

/// What RewriteCharsetDeclarations found.
struct DeclarationCount
{
    std::size_t found = 0;     // charset declarations of any label
    std::size_t rewritten = 0; // those that named the source's family and now name the target
};

/// Makes the charset declarations of a page name the target encoding where they name the source's
/// family: HTML <meta charset> and <meta http-equiv ... content="...; charset=...">, the XML
/// declaration's encoding, CSS @charset, ASP <%@ CODEPAGE %>, Response.Charset, Response.CodePage and
/// Session.CodePage, PHP header('Content-Type: ...; charset=...'), and JSP pageEncoding and
/// contentType. Labels are matched in any letter case, quoted or not, and a tag may span lines. The
/// new label is "utf-8", "big5" or "gbk" (65001, 950 or 936 where a code page number stood),
/// in capitals where the old label was. Declarations of other families and everything else keep
/// their text; when source and target are one family nothing is rewritten.
DeclarationCount RewriteCharsetDeclarations(std::u16string& text, EncodingId source, EncodingId target);

/// The same on the bytes of a page from `start` (after a byte-order mark) in `encoding`: every
/// declaration is ASCII in GB, BIG5 and UTF-8 alike, so it can be rewritten before the bytes are
/// decoded, and the conversion can then go in pieces. `rewritten` receives the bytes with the new
/// labels when a declaration was rewritten, and is left alone otherwise. Bytes that are not valid in
/// `encoding` may be misread, which does not matter: their conversion fails.
DeclarationCount RewriteCharsetDeclarations(ByteView bytes, std::size_t start, EncodingId encoding, EncodingId source,
                                            EncodingId target, Bytes& rewritten);

} // namespace veltran
