#include "ControlLayoutTable.h"

namespace veltran {

namespace {

float Fraction(double part, double whole)
{
    return whole > 0 ? static_cast<float>(part / whole) : 0.0f;
}

} // namespace

ControlLayoutTable::ControlLayoutTable()
{
    Reset();
}

void ControlLayoutTable::Reset()
{
    m_slots.assign(1, ControlLayout{});
}

void ControlLayoutTable::Register(std::string_view name, const TwipRect& control, const TwipSize& inner)
{
    m_slots.push_back({std::string(name), Fraction(control.left, inner.width), Fraction(control.top, inner.height),
                       Fraction(control.width, inner.width), Fraction(control.height, inner.height)});
}

std::optional<TwipRect> ControlLayoutTable::Apply(std::string_view name, const TwipSize& inner) const
{
    for (std::size_t i = 1; i < m_slots.size(); ++i) {
        const ControlLayout& slot = m_slots[i];
        if (slot.name == name)
            return TwipRect{inner.width * slot.left, inner.height * slot.top, inner.width * slot.width,
                            inner.height * slot.height};
    }
    return std::nullopt;
}

} // namespace veltran
