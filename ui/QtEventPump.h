#pragma once

#include "EventPump.h"

#include <QElapsedTimer>

namespace veltran {

class MessageBoxService;

/// The window's event pump during a run. Qt 6 cannot say whether input is waiting (there is no
/// GetInputState), so the run yields when it has just shown a refresh (the run itself forces that)
/// or when kYieldInterval has passed since the last yield: a click or Escape is then seen within
/// about a tenth of a second at most, and a run over thousands of small files yields at most a few
/// dozen times a second, which costs next to nothing.
class QtEventPump : public EventPump
{
public:
    static constexpr int kYieldIntervalMs = 40;

    /// The stop question goes through `messageBox`, which must outlive the pump.
    explicit QtEventPump(MessageBoxService& messageBox);

    bool InputMayBeWaiting() override;
    void ProcessEvents() override;
    /// "确定要终止当前的处理过程吗？" with OK and Cancel, Cancel the default; true on OK.
    bool ConfirmStop() override;

private:
    MessageBoxService& m_messageBox;
    QElapsedTimer m_sinceYield;
};

} // namespace veltran
