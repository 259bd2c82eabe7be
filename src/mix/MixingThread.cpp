// SPDX-License-Identifier: MIT
#include "mix/MixingThread.h"

#include "audio/Acceleration.h"
#include "engine/Mixer.h"
#include "engine/RenderPool.h"
#include "engine/WaveWriter.h"
#include "mix/LinkCycle.h"
#include "model/Document.h"
#include "model/TextTable.h"
#include "model/UserInterface.h"
#include "platform/File.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <system_error>

namespace vellisto::mix {

CMixingThread::~CMixingThread() { quit(); }

bool CMixingThread::create()
{
    if (running())
        return true;
    m_queue.clear();
    try {
        m_thread = std::thread(&CMixingThread::run, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CMixingThread::postStart(
    Project& project, const std::string& nativePath, engine::ProgressRecord& record)
{
    post({ false, &project, nativePath, &record });
}

void CMixingThread::quit()
{
    if (!running())
        return;
    post({ true, nullptr, {}, nullptr });
    m_thread.join();
}

void CMixingThread::post(Message message)
{
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(message));
    }
    m_wake.notify_one();
}

void CMixingThread::run()
{
    bool rendered = false;
    for (;;) {
        Message message;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_queue.empty(); });
            message = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (message.quit)
            return;
        if (rendered)
            continue; // one mix per life
        rendered = true;
        engine::ProgressRecord& record = *message.record;
        bool ok = false;
        try {
            ok = engine::WriteWaveFile(*message.project, message.path, record);
        } catch (...) {
            // Nothing may leave the worker: the waiting side relies on the
            // done word, so a failure of any kind ends as result 0.
            ok = false;
        }
        if (record.done.load() == 0) {
            record.result.store(ok ? 1 : 0);
            record.done.store(1);
        }
    }
}

namespace {

    // The progress display's view of the record: it reads four words and
    // writes only the abort request.
    class RecordProgress final : public ProgressSource {
    public:
        explicit RecordProgress(engine::ProgressRecord& record)
            : m_record(record)
        {
        }
        bool done() const override { return m_record.done.load() != 0; }
        bool abortRequested() const override { return m_record.abort.load() != 0; }
        std::uint32_t currentFrame() const override { return m_record.current.load(); }
        std::uint32_t totalFrames() const override { return m_record.total.load(); }
        void requestAbort() override { m_record.abort.store(1); }

    private:
        engine::ProgressRecord& m_record;
    };

    // The tracks of each block are rendered on all the worker threads allowed
    // (audio::WorkerThreads); with one, or when the pool cannot be had, the
    // mixing thread renders alone, to the same bytes.
    void AttachRenderPool(Project& project, std::unique_ptr<engine::RenderPool>& pool)
    {
        const std::uint32_t threads = audio::WorkerThreads();
        if (threads <= 1)
            return;
        const MixState& state = project.mixState;
        const std::size_t words
            = std::size_t { state.settings.bufferLength } * state.settings.outputFormat.channels;
        try {
            pool = std::make_unique<engine::RenderPool>(threads);
        } catch (const std::bad_alloc&) {
            return;
        }
        if (pool->threads() > 1 && pool->reserve(words))
            project.mixState.renderPool = pool.get();
    }

    void ShowNumbered(UserInterface& ui, TextId text, std::uint32_t number)
    {
        char message[128];
        std::snprintf(message, sizeof message, Text(text).data(), static_cast<unsigned>(number));
        ShowError(ui, message);
    }

} // namespace

bool MixProject(Project& project, std::u16string_view documentPath, UserInterface& ui,
    const MixOptions& options)
{
    if (const auto cycle = FindLinkCycle(project)) {
        ShowNumbered(ui, TextId::kCircularLink, *cycle);
        return false;
    }
    // Refused before a file is chosen: nothing is written for a mix that cannot succeed.
    const engine::MixPlan plan = engine::PlanMix(project, project.settings.outputFormat);
    if (!plan.formatRenderable) {
        ShowError(ui, TextId::kUnmixableFormat);
        return false;
    }
    if (!plan.fitsWaveFile) {
        ShowError(ui, TextId::kMixTooLong);
        return false;
    }
    const auto output = ui.chooseSaveFile(Text(TextId::kWaveFileFilter), ".wav");
    if (!output)
        return false;
    const std::string path = platform::NativePath(*output);

    // Declared before the worker, so that it outlives the worker's renders.
    std::unique_ptr<engine::RenderPool> pool;
    CMixingThread worker;
    if (!worker.create()) {
        ShowError(ui, TextId::kFailedCreatingThread);
        return false;
    }
    if (!PrepareAllSounds(project, documentPath, ui, options.reportSoundFailure))
        return false; // the worker quits as it goes out of scope
    if (!engine::PrepareMix(project, false)) { // mute and solo do not apply to a mix
        ShowError(ui, TextId::kOutOfMemory);
        return false;
    }
    engine::SeekMix(project, 0);
    AttachRenderPool(project, pool);

    engine::ProgressRecord record;
    worker.postStart(project, path, record);
    const std::uint64_t t0 = options.clock();
    RecordProgress progress(record);
    ui.runProgress(progress);
    const std::uint64_t t1 = std::max(options.clock(), t0);
    // A display closed before the end asks the worker to stop at its next block.
    if (!progress.done())
        progress.requestAbort();
    worker.quit(); // waits: the record, the path and the project stay ours until then
    project.mixState.renderPool = nullptr;

    if (record.result.load() != 0) {
        ShowInformation(ui,
            FormatMixReport(plan.frames, project.settings.outputFormat.samplesPerSecond, t1 - t0));
        return true;
    }
    if (record.abort.load() != 0)
        ShowInformation(ui, TextId::kAborted);
    else
        ShowError(ui, TextId::kFailedMixing);
    return false;
}

bool MixDocument(Ctest122Doc& document, UserInterface& ui, const MixOptions& options)
{
    Project* project = document.project();
    if (project == nullptr || !MixProject(*project, document.pathName(), ui, options))
        return false;
    document.UpdateAllViews();
    return true;
}

} // namespace vellisto::mix
