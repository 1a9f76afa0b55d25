#pragma once

namespace veltran {

/// The options a run reads anew before each file, because the user may change them meanwhile.
class PerFileOptions
{
public:
    virtual ~PerFileOptions() = default;

    virtual bool ApplyRules() = 0;
    virtual bool WriteBom() = 0;
};

/// Options that stay as they were given for the whole run.
class FixedFileOptions : public PerFileOptions
{
public:
    FixedFileOptions(bool applyRules, bool writeBom) : m_applyRules(applyRules), m_writeBom(writeBom) {}

    bool ApplyRules() override { return m_applyRules; }
    bool WriteBom() override { return m_writeBom; }

private:
    bool m_applyRules;
    bool m_writeBom;
};

} // namespace veltran
