#include "BatchRun.h"

#include "ReadAhead.h"
#include "Reasons.h"
#include "RunIdentities.h"
#include "RunLog.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

namespace veltran {

std::size_t DefaultJobs()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

void ReadingCounts::Add(const SourceReading& reading)
{
    if (reading.asciiOnly)
        ++asciiOnly;
    else
        ++encodings[static_cast<std::size_t>(reading.encoding)];
}

namespace {

// How often a run held by its host asks again whether it may go on.
constexpr std::chrono::milliseconds kHoldPoll(20);

struct Finished
{
    std::filesystem::path entry;
    Status result;
    ConversionNotes notes;
};

Status OutOfMemory()
{
    return Status::Failure(StatusCode::OutOfMemory);
}

// One run: every thread it has takes the next entry in list order, converts it unlocked, and passes
// on whatever results are then complete in list order.
class Batch
{
public:
    Batch(const PathList& entries, const RunSettings& settings, const RunRoles& roles, const ConvertFunction& convert,
          const FileSystemCalls& calls)
        : m_entries(entries), m_settings(settings), m_roles(roles), m_convert(convert), m_identities(calls),
          m_refreshStep(entries.size() / 100 + 1)
    {
    }

    // Converts the entries with up to settings.jobs threads, the calling one among them.
    void Run()
    {
        std::vector<std::thread> helpers;
        const std::size_t jobs = std::min(m_settings.jobs, m_entries.size());
        try {
            // Through the system's own calls, whatever the run's: reading ahead is no step of a
            // conversion, and a test's script of calls is not to meet it.
            if (m_entries.size() > 1)
                m_readAhead.emplace(m_entries, SystemFileCalls());
        } catch (const std::exception&) {
            // Without it the run only waits longer for a disk.
        }
        try {
            for (std::size_t i = 1; i < jobs; ++i)
                helpers.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            // Fewer threads only make the run slower.
        }
        Work();
        for (std::thread& helper : helpers)
            helper.join();
        m_readAhead.reset();
    }

    RunOutcome& Outcome() { return m_outcome; }
    RunLog& Log() { return m_log; }
    std::size_t StopPosition() const { return m_next; }

private:
    void Work()
    {
        std::unique_lock<std::mutex> lock(m_lock);
        while (!m_ending && m_next < m_entries.size()) {
            const std::size_t index = m_next;
            const RunControl::Step step = m_roles.control.BeforeFile(index);
            if (step == RunControl::Step::Hold) {
                m_changed.wait_for(lock, kHoldPoll);
                continue;
            }
            if (step != RunControl::Step::Start) {
                m_ending = true;
                (step == RunControl::Step::Stop ? m_outcome.stopped : m_outcome.abandoned) = true;
                break;
            }
            // Made once and handed on: the list holds its paths as text.
            std::filesystem::path entry = m_entries[index];
            RunIdentities::Admission admitted = Admit(entry);
            if (admitted.kind == RunIdentities::Admission::Kind::Wait) {
                m_changed.wait(lock);
                continue;
            }
            m_next = index + 1;
            if (m_readAhead)
                m_readAhead->Reached(index);
            if (admitted.kind == RunIdentities::Admission::Kind::Refused) {
                Done(index, {std::move(entry), std::move(admitted.refusal), {}});
                continue;
            }
            Convert(index, std::move(entry), admitted, lock);
        }
        m_changed.notify_all();
    }

    // Admits the entry, or makes it wait while the files converting hold too many bytes to add it.
    RunIdentities::Admission Admit(const std::filesystem::path& entry)
    {
        using Kind = RunIdentities::Admission::Kind;
        RunIdentities::Admission admitted;
        try {
            admitted = m_identities.Admit(entry, m_converting > 0);
        } catch (const std::bad_alloc&) {
            admitted.kind = Kind::Refused;
            admitted.refusal = OutOfMemory();
            return admitted;
        }
        if (admitted.kind == Kind::Start && m_converting > 0 && m_heldBytes + admitted.size > m_settings.heldBytes) {
            m_identities.Ended(admitted, false);
            admitted.kind = Kind::Wait;
        }
        return admitted;
    }

    void Convert(std::size_t index, std::filesystem::path entry, const RunIdentities::Admission& admitted,
                 std::unique_lock<std::mutex>& lock)
    {
        ConvertOptions options = m_settings.conversion;
        options.text.applyRules = m_roles.options.ApplyRules();
        options.text.writeBom = m_roles.options.WriteBom();
        m_roles.progress.FileStarting(index, entry);
        ++m_converting;
        m_heldBytes += admitted.size;
        lock.unlock();

        Finished finished{std::move(entry), {}, {}};
        try {
            finished.result = m_convert(finished.entry, options, m_identities.Calls(), finished.notes);
        } catch (const std::bad_alloc&) {
            finished.result = OutOfMemory();
            finished.notes = {};
        } catch (const std::exception& e) {
            finished.result = Status::Failure(StatusCode::MappingFailed, {.name = e.what()});
            finished.notes = {};
        }
        m_identities.Ended(admitted, finished.result.ok());

        lock.lock();
        --m_converting;
        m_heldBytes -= admitted.size;
        Done(index, std::move(finished));
        m_changed.notify_all();
    }

    // Takes the entry's result and passes on every result now complete in list order.
    void Done(std::size_t index, Finished finished)
    {
        m_finished.emplace(index, std::move(finished));
        for (auto next = m_finished.find(m_told); next != m_finished.end(); next = m_finished.find(m_told)) {
            const std::size_t told = m_told++;
            Tell(told, next->second);
            m_finished.erase(next);
        }
    }

    void Tell(std::size_t index, Finished& finished)
    {
        const std::filesystem::path& entry = finished.entry;
        Status& result = finished.result;
        ++m_outcome.processed;
        m_roles.progress.FileFinished(index, entry, result);
        if (!result.ok()) {
            m_log.AddFailure(entry.native(), ReasonText(result, Language::Chinese));
            m_outcome.failures.push_back({entry, result});
        } else {
            m_outcome.converted.Add(finished.notes.reading);
            m_outcome.declarationsRewritten += finished.notes.declarations.rewritten > 0 ? 1 : 0;
            m_outcome.undeclared += finished.notes.declarations.found == 0 ? 1 : 0;
            // Characters written as references are kept, only in another form; only "?" loses them.
            const bool references =
                m_settings.conversion.text.unmappableAsReferences && TakesCharacterReferences(finished.notes.file);
            if (!references && finished.notes.unmappable.count > 0) {
                m_log.AddLoss(entry.native(), finished.notes.unmappable);
                m_outcome.losses.push_back({entry, finished.notes.unmappable});
            }
        }
        for (const std::string& text : finished.notes.notKept)
            m_outcome.notKept.push_back({entry, text});
        m_outcome.replacedOtherBackups += finished.notes.replacedOtherBackup ? 1 : 0;
        if (!finished.notes.putBackFrom.empty())
            m_outcome.putBack.push_back({entry, finished.notes.putBackFrom.string()});
        if (m_settings.keepRecords && (!m_settings.recordWanted || m_settings.recordWanted(result, finished.notes)))
            m_outcome.records.push_back({entry.native(), std::move(result), std::move(finished.notes)});
        if ((index + 1) % m_refreshStep == 0)
            m_roles.progress.ShowProgress(static_cast<int>((index + 1) * 100 / m_entries.size()), index);
    }

    const PathList& m_entries;
    const RunSettings& m_settings;
    const RunRoles& m_roles;
    const ConvertFunction& m_convert;
    RunIdentities m_identities;
    const std::size_t m_refreshStep; // about a hundred refreshes per run, whatever the number of files

    std::mutex m_lock; // guards everything below, and the calls to the roles
    std::condition_variable m_changed;
    RunOutcome m_outcome;
    RunLog m_log;
    bool m_ending = false;  // a stop or a close: no file starts any more
    std::size_t m_next = 0; // the next entry to start
    std::size_t m_told = 0; // the next entry whose result is to be passed on
    std::size_t m_converting = 0;
    std::uintmax_t m_heldBytes = 0;
    std::map<std::size_t, Finished> m_finished; // results waiting for an earlier one
    std::optional<ReadAhead> m_readAhead;       // none for a single entry, or without a thread for it
};

} // namespace

RunOutcome RunBatch(const PathList& entries, const RunSettings& settings, const RunRoles& roles,
                    const ConvertFunction& convert, const std::function<std::string()>& now,
                    const FileSystemCalls& calls)
{
    Batch batch(entries, settings, roles, convert, calls);
    batch.Log().AddHeader(settings.sourceName, settings.targetName, now());
    batch.Run();
    RunOutcome& outcome = batch.Outcome();
    if (outcome.stopped)
        batch.Log().AddStop(entries[batch.StopPosition()].native(), now());
    else if (!outcome.abandoned)
        batch.Log().AddCompletion(now());
    outcome.log = batch.Log().Text();
    return std::move(outcome);
}

} // namespace veltran
