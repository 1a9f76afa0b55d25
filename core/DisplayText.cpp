#include "DisplayText.h"

#include "TextCodecs.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <memory>
#include <stdexcept>

namespace veltran {

namespace {

constexpr UChar kReplacement = 0xFFFD;

// Writes U+FFFD for each sequence the converter cannot decode, and counts them.
void CountAndReplace(const void* context, UConverterToUnicodeArgs* args, const char*, int32_t,
                     UConverterCallbackReason reason, UErrorCode* status)
{
    if (reason > UCNV_IRREGULAR)
        return; // reset, close and clone notifications carry no bytes
    ++*static_cast<std::size_t*>(const_cast<void*>(context));
    *status = U_ZERO_ERROR;
    ucnv_cbToUWriteUChars(args, &kReplacement, 1, 0, status);
}

const char* ConverterName(EncodingId encoding)
{
    switch (encoding) {
    case EncodingId::Gb:
        return "windows-936-2000";
    case EncodingId::Big5:
        return "windows-950-2000";
    case EncodingId::Gb18030:
        return "gb18030";
    case EncodingId::Utf8:
        break;
    }
    return "UTF-8";
}

} // namespace

DisplayText DecodeForDisplay(ByteView bytes, EncodingId encoding)
{
    DisplayText display;
    display.encoding = HasUtf8Bom(bytes) ? EncodingId::Utf8 : encoding;
    if (HasUtf8Bom(bytes))
        bytes = bytes.subspan(kUtf8Bom.size());

    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, void (*)(UConverter*)> converter(
        ucnv_open(ConverterName(display.encoding), &status), ucnv_close);
    if (U_FAILURE(status))
        throw std::runtime_error("cannot open a converter for " + std::string(EncodingName(display.encoding)));
    ucnv_setToUCallBack(converter.get(), CountAndReplace, &display.undecodable, nullptr, nullptr, &status);

    // One UTF-16 unit per byte at most in all three encodings, U+FFFD included.
    display.text.resize(bytes.size());
    const char* source = reinterpret_cast<const char*>(bytes.data());
    UChar* target = display.text.data();
    ucnv_toUnicode(converter.get(), &target, display.text.data() + display.text.size(), &source, source + bytes.size(),
                   nullptr, true, &status);
    display.text.resize(static_cast<std::size_t>(target - display.text.data()));
    return display;
}

} // namespace veltran
