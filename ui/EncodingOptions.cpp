#include "EncodingOptions.h"

#include <QRadioButton>

namespace veltran {

namespace {

std::optional<EncodingId> Chosen(const QRadioButton* gb, const QRadioButton* big5, const QRadioButton* utf8)
{
    if (gb->isChecked())
        return EncodingId::Gb;
    if (big5->isChecked())
        return EncodingId::Big5;
    if (utf8->isChecked())
        return EncodingId::Utf8;
    return std::nullopt;
}

} // namespace

std::optional<EncodingId> ChosenSource(const MainWindowControls& c)
{
    return Chosen(c.optFrmGb, c.optFrmBig5, c.optFrmUTF8);
}

std::optional<EncodingId> ChosenTarget(const MainWindowControls& c)
{
    return Chosen(c.optGb, c.optBig5, c.optUtf8);
}

} // namespace veltran
