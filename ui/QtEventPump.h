#pragma once

#include "EventPump.h"

#include <QElapsedTimer>

namespace veltran {

/// The window's event pump during a folder scan. Qt 6 cannot say whether input is waiting (there is
/// no GetInputState), so the scan yields when kYieldInterval has passed since the last yield: a click
/// or Escape is then seen within about a tenth of a second at most, at next to no cost.
class QtEventPump : public EventPump
{
public:
    static constexpr int kYieldIntervalMs = 40;

    QtEventPump();

    bool InputMayBeWaiting() override;
    void ProcessEvents() override;

private:
    QElapsedTimer m_sinceYield;
};

} // namespace veltran
