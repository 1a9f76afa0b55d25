#include "Gb18030Codec.h"

#include "CodePage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <stdexcept>
#include <string>

namespace veltran {
namespace {

constexpr char kSubstitute = '?';

void SubstituteQuestionMark(const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t, UChar32,
                            UConverterCallbackReason reason, UErrorCode* status)
{
    if (reason > UCNV_IRREGULAR)
        return;
    *status = U_ZERO_ERROR;
    ucnv_cbFromUWriteBytes(args, &kSubstitute, 1, 0, status);
}

// A converter per call: opening one from ICU's cache is cheap next to the text it converts, and the
// codec stays free of shared state.
CodePage::IcuConverter Open(bool encoding)
{
    UErrorCode status = U_ZERO_ERROR;
    CodePage::IcuConverter converter(ucnv_open("gb18030", &status));
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("ICU has no GB 18030 converter: ") + u_errorName(status));
    if (encoding)
        ucnv_setFromUCallBack(converter.get(), SubstituteQuestionMark, nullptr, nullptr, nullptr, &status);
    else
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    return converter;
}

bool InRange(std::uint8_t byte, std::uint8_t low, std::uint8_t high)
{
    return byte >= low && byte <= high;
}

// The length of the sequence that starts at `in` by GB 18030's byte ranges, or 0 when it is malformed
// or cut short; whether a well-formed sequence is assigned is ICU's to say.
std::size_t SequenceLength(const std::uint8_t* in, const std::uint8_t* end)
{
    if (*in < 0x81 || *in == 0xFF)
        return 1;
    if (end - in < 2)
        return 0;
    if (InRange(in[1], 0x30, 0x39))
        return end - in >= 4 && InRange(in[2], 0x81, 0xFE) && InRange(in[3], 0x30, 0x39) ? 4 : 0;
    return InRange(in[1], 0x40, 0x7E) || InRange(in[1], 0x80, 0xFE) ? 2 : 0;
}

} // namespace

const std::uint8_t* Gb18030Codec::Decode(const std::uint8_t* in, const std::uint8_t* stop, const std::uint8_t* end,
                                         bool stopAtAscii, char16_t*& out, bool& invalid)
{
    invalid = false;
    const std::uint8_t* reached = in;
    while (reached < stop && !(stopAtAscii && *reached < 0x80)) {
        const std::size_t length = SequenceLength(reached, end);
        if (length == 0) {
            invalid = true;
            break;
        }
        reached += length;
    }
    if (reached == in)
        return in;
    CodePage::IcuConverter converter = Open(false);
    const char* source = reinterpret_cast<const char*>(in);
    UChar* target = reinterpret_cast<UChar*>(out);
    UErrorCode status = U_ZERO_ERROR;
    // No sequence gives more units than it has bytes, so `out` has room.
    ucnv_toUnicode(converter.get(), &target, target + (reached - in), &source, reinterpret_cast<const char*>(reached),
                   nullptr, true, &status);
    out = reinterpret_cast<char16_t*>(target);
    if (U_SUCCESS(status))
        return reached;
    // The sequence ICU refused ends where it stopped reading.
    char refused[8];
    int8_t refusedLength = sizeof refused;
    UErrorCode ignored = U_ZERO_ERROR;
    ucnv_getInvalidChars(converter.get(), refused, &refusedLength, &ignored);
    invalid = true;
    return reinterpret_cast<const std::uint8_t*>(source) - refusedLength;
}

std::uint8_t* Gb18030Codec::Encode(const char16_t* in, const char16_t* end, std::uint8_t* out)
{
    if (in == end)
        return out;
    CodePage::IcuConverter converter = Open(true);
    const UChar* source = reinterpret_cast<const UChar*>(in);
    char* target = reinterpret_cast<char*>(out);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_fromUnicode(converter.get(), &target, target + (end - in) * 4, &source, reinterpret_cast<const UChar*>(end),
                     nullptr, true, &status);
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("GB 18030 encoding failed: ") + u_errorName(status));
    return reinterpret_cast<std::uint8_t*>(target);
}

} // namespace veltran
