#pragma once

#include "TwipGeometry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltran {

/// A control's design position and size as fractions of the window's inner area.
struct ControlLayout
{
    std::string name;
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

/// The proportional layout: each registered control keeps its share of the window's inner area,
/// scaled independently across and down. Slot 0 is an unused empty record; controls start at 1.
class ControlLayoutTable
{
public:
    ControlLayoutTable();

    /// Back to the single empty slot 0.
    void Reset();

    /// Appends a record for the control from its geometry and the inner area at this moment.
    /// An inner area of zero width or height gives zero fractions in that direction.
    void Register(std::string_view name, const TwipRect& control, const TwipSize& inner);

    /// The control's geometry for the inner area, from the first record with exactly this name
    /// (case-sensitive); none when the control is not registered.
    std::optional<TwipRect> Apply(std::string_view name, const TwipSize& inner) const;

    /// All slots, the empty slot 0 included.
    const std::vector<ControlLayout>& Slots() const { return m_slots; }

private:
    std::vector<ControlLayout> m_slots;
};

} // namespace veltran
