// SPDX-License-Identifier: MIT
#include "document/MixCommand.h"

#include "audio/Acceleration.h"
#include "document/Document.h"
#include "engine/Mixer.h"
#include "engine/RenderPool.h"
#include "engine/WaveWriter.h"
#include "mix/LinkCycle.h"
#include "mix/MixingThread.h"
#include "platform/File.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace vellisto {

namespace {

    // The progress display's view of the record: it reads four words and
    // writes only the abort request. An interrupt from outside counts as an
    // abort request, so that the display returns at its next poll.
    class RecordProgress final : public ProgressSource {
    public:
        RecordProgress(engine::ProgressRecord& record, const std::atomic<bool>* interrupt)
            : m_record(record)
            , m_interrupt(interrupt)
        {
        }
        bool done() const override { return m_record.done.load() != 0; }
        bool abortRequested() const override
        {
            return m_record.abort.load() != 0 || (m_interrupt != nullptr && m_interrupt->load());
        }
        std::uint32_t currentFrame() const override { return m_record.current.load(); }
        std::uint32_t totalFrames() const override { return m_record.total.load(); }
        void requestAbort() override { m_record.abort.store(1); }

    private:
        engine::ProgressRecord& m_record;
        const std::atomic<bool>* m_interrupt;
    };

    bool Interrupted(const MixOptions& options)
    {
        return options.interrupt != nullptr && options.interrupt->load();
    }

    // The tracks of each block are rendered on all the worker threads allowed
    // (audio::WorkerThreads); with one, or when the pool cannot be had, the
    // mixing thread renders alone, to the same bytes.
    void AttachRenderPool(const MixState& state, engine::RenderSetup& setup,
        std::unique_ptr<engine::RenderPool>& pool)
    {
        const std::uint32_t threads = audio::WorkerThreads();
        if (threads <= 1)
            return;
        const std::size_t words
            = std::size_t { state.settings.bufferLength } * state.settings.outputFormat.channels;
        try {
            pool = std::make_unique<engine::RenderPool>(threads);
        } catch (const std::bad_alloc&) {
            return;
        }
        if (pool->threads() > 1 && pool->reserve(words))
            setup.pool = pool.get();
    }

    void ShowNumbered(Messages& messages, TextId text, std::uint32_t number)
    {
        char message[128];
        std::snprintf(message, sizeof message, Text(text).data(), static_cast<unsigned>(number));
        ShowError(messages, message);
    }

    std::string SystemReason(const std::string& path, int error)
    {
        return error == 0 ? path : path + ": " + std::strerror(error);
    }

    struct FileIdentity {
        dev_t device;
        ino_t inode;
    };
    std::optional<FileIdentity> IdentityOf(const std::string& path)
    {
        struct stat st { };
        if (path.empty() || ::stat(path.c_str(), &st) != 0)
            return std::nullopt;
        return FileIdentity { st.st_dev, st.st_ino };
    }
    bool Same(const std::optional<FileIdentity>& a, const std::optional<FileIdentity>& b)
    {
        return a && b && a->device == b->device && a->inode == b->inode;
    }

    // Why the output may not be written over: it is the project itself or a
    // sound the mix reads (through links too); nullopt when it is neither.
    std::optional<std::string> OutputClash(
        const Project& project, std::string_view documentPath, const std::string& output)
    {
        const auto target = IdentityOf(output);
        if (!target)
            return std::nullopt; // a new file clashes with nothing
        if (Same(target, IdentityOf(std::string(documentPath))))
            return output + ": the output is the project file itself";
        for (std::uint32_t id = 0; id < kSoundCount; ++id) {
            const SoundSlot& slot = project.sounds[id];
            if (slot.empty())
                continue;
            const auto path = mix::SoundFilePath(project, documentPath, slot);
            if (path && Same(target, IdentityOf(*path)))
                return output + ": the output is the file of sound " + std::to_string(id);
        }
        return std::nullopt;
    }

    // Each failed sound is reported, then the user decides; an interrupt decides at once.
    bool PrepareSounds(Project& project, std::string_view documentPath, Messages& messages,
        const MixOptions& options)
    {
        bool interrupted = false;
        const bool prepared = mix::PrepareAllSounds(
            project, documentPath,
            [&](std::uint32_t id, const mix::SoundFailure& failure) {
                if (options.reportSoundFailure)
                    options.reportSoundFailure(id, failure);
                if (Interrupted(options))
                    return false;
                char text[128];
                std::snprintf(text, sizeof text, Text(TextId::kFailedLoadingSound).data(),
                    static_cast<unsigned>(id));
                return messages.showMessage(text, TextId::kError, MessageButtons::kOkCancel, {})
                    == MessageAnswer::kOk;
            },
            [&] { return interrupted = Interrupted(options); });
        if (!prepared && (interrupted || Interrupted(options)))
            ShowInformation(messages, TextId::kAborted);
        return prepared && !Interrupted(options);
    }

} // namespace

bool MixProject(Project& project, std::string_view documentPath, Messages& messages,
    FileChooser& files, ProgressDisplay& progress, const MixOptions& options)
{
    if (const auto cycle = mix::FindLinkCycle(project)) {
        ShowNumbered(messages, TextId::kCircularLink, *cycle);
        return false;
    }
    // Refused before a file is chosen: nothing is written for a mix that cannot succeed.
    const engine::MixPlan plan = engine::PlanMix(project, project.settings.outputFormat);
    if (!plan.formatRenderable) {
        ShowError(messages, TextId::kUnmixableFormat);
        return false;
    }
    if (!plan.fitsWaveFile) {
        ShowError(messages, TextId::kMixTooLong);
        return false;
    }
    const auto output
        = files.chooseSaveFile({ ParseFileFilter(Text(TextId::kWaveFileFilter)), {}, ".wav" });
    if (!output)
        return false;
    if (const auto clash = OutputClash(project, documentPath, *output)) {
        ShowError(messages, TextId::kFailedMixing, *clash);
        return false;
    }
    platform::AtomicFileWriter writer(*output);
    if (!writer.open()) {
        ShowError(messages, TextId::kFailedMixing, SystemReason(*output, writer.error()));
        return false;
    }

    // Declared before the worker, so that they outlive the worker's renders.
    std::unique_ptr<MixState> state;
    std::unique_ptr<engine::RenderPool> pool;
    mix::CMixingThread worker;
    if (!worker.create()) {
        ShowError(messages, TextId::kFailedCreatingThread);
        return false;
    }
    if (!PrepareSounds(project, documentPath, messages, options))
        return false; // the worker quits and the temporary file goes as they go out of scope
    try {
        state = std::make_unique<MixState>();
    } catch (const std::bad_alloc&) {
    }
    // Mute and solo do not apply to a mix.
    if (state == nullptr || !engine::PrepareMix(project, *state, false)) {
        ShowError(messages, TextId::kOutOfMemory);
        return false;
    }
    engine::SeekMix(project, *state, 0);
    engine::RenderSetup setup = engine::ChooseRenderSetup(state->settings);
    AttachRenderPool(*state, setup, pool);

    engine::ProgressRecord record;
    worker.postStart(project, *state, setup, writer.file(), record);
    const std::uint64_t t0 = options.clock();
    RecordProgress watched(record, options.interrupt);
    progress.runProgress(watched);
    const std::uint64_t t1 = std::max(options.clock(), t0);
    // A display closed before the end asks the worker to stop at its next block.
    if (!watched.done())
        watched.requestAbort();
    worker.quit(); // waits: the record, the file, the state and the project stay ours until then

    // An interrupt that came after the last block still keeps the old file.
    if (record.abort.load() != 0 || Interrupted(options)) {
        ShowInformation(messages, TextId::kAborted);
        return false;
    }
    if (record.result.load() == 0) {
        ShowError(
            messages, TextId::kFailedMixing, SystemReason(*output, writer.file().lastError()));
        return false;
    }
    // Measured through the temporary file's own descriptor: exactly what is
    // about to replace the output.
    const MixFigures figures { plan.frames, t1 - t0, mix::MeasureWaveFile(writer.file()) };
    if (!writer.commit()) {
        ShowError(messages, TextId::kFailedMixing, SystemReason(*output, writer.error()));
        return false;
    }
    if (options.reportFinished)
        options.reportFinished(figures);
    ShowInformation(messages,
        mix::FormatMixReport(figures.lengthFrames, project.settings.outputFormat.samplesPerSecond,
            figures.elapsedMs),
        figures.levels ? mix::FormatLevelReport(*figures.levels) : std::string());
    return true;
}

bool MixDocument(Ctest122Doc& document, Messages& messages, FileChooser& files,
    ProgressDisplay& progress, const MixOptions& options)
{
    Project* project = document.project();
    if (project == nullptr
        || !MixProject(*project, document.pathName(), messages, files, progress, options))
        return false;
    document.UpdateAllViews();
    return true;
}

} // namespace vellisto
