#include "TextLayout.h"

#include "TextCodecs.h"

namespace veltran {

Result<TextLayout> LayoutOf(ByteView bytes, EncodingId source)
{
    if (HasUtf8Bom(bytes)) {
        if (bytes.size() == kUtf8Bom.size())
            return Status::Failure(StatusCode::ByteOrderMarkOnly);
        return TextLayout{EncodingId::Utf8, kUtf8Bom.size()};
    }
    if (bytes.empty())
        return Status::Failure(StatusCode::Empty);
    return TextLayout{source, 0};
}

Result<std::u16string> DecodeFileBytes(ByteView bytes, EncodingId source)
{
    const Result<TextLayout> layout = LayoutOf(bytes, source);
    if (!layout)
        return layout.status();
    std::u16string text;
    const DecodeStop stop = DecodeAppend(layout->encoding, bytes.subspan(layout->start), text);
    if (stop.invalid)
        return InvalidBytesAt(layout->encoding, layout->start + stop.offset);
    return text;
}

} // namespace veltran
