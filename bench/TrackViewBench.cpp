// SPDX-License-Identifier: MIT
// The track views on a long track of 200 000 Play events: building the event
// graph's scene (everything one paint draws) and hit testing a point, for a
// 640 x 320 window at zooms from 1 to 65536 frames a pixel, and laying the
// track edit view's table out over a window in the middle of the list. Two
// spacings: a spread track (an event every 2205 frames, 2.8 hours at 44100
// Hz) whose window sees a slice of it, and a dense one (an event every 200
// frames) whose 200 000 events all lie in one window at the widest zoom.
// Counters: the events looked at and the markers drawn per paint.

#include "model/EventList.h"
#include "model/Project.h"
#include "views/EventGraphPanel.h"
#include "views/TrackEditPanel.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace vellisto;

constexpr std::uint32_t kEvents = 200000;

std::unique_ptr<Project> LongTrack(std::uint32_t spacing)
{
    std::unique_ptr<Project> project = CreateProject();
    Track& track = project->tracks[0];
    ResetEvents(track, kEvents);
    for (std::uint32_t i = 0; i < kEvents; ++i) {
        // Sound IDs and pitches vary, so markers seldom cover each other exactly.
        const std::uint32_t pitch = (1u << 24) + (i % 97) * (1u << 18);
        track.events[i] = { kEventExists | ((i % 5 == 0) ? kEventSelected : 0u), i * spacing,
            EventTypeWord(EventType::kPlay), i % 1000, 1024, pitch };
    }
    return project;
}

views::EventGraphPanel ZoomedPanel(std::uint32_t zoom)
{
    views::EventGraphPanel panel(0);
    while (panel.zoom() > zoom && panel.zoomIn()) { }
    while (panel.zoom() < zoom && panel.zoomOut()) { }
    return panel;
}

// 640 x 320 around the middle of the track (from its start when the whole
// track is narrower than that), over the pitch values of the events.
views::GraphRect Window(const Project& project, std::uint32_t zoom)
{
    const Track& track = project.tracks[0];
    const std::int64_t middle = track.events[track.count / 2].time / zoom;
    const auto left = static_cast<std::int32_t>(std::max<std::int64_t>(middle - 320, 0));
    return views::GraphRect { left, 0, left + 640, 320 };
}

void GraphScene(benchmark::State& state)
{
    const std::unique_ptr<Project> project = LongTrack(static_cast<std::uint32_t>(state.range(0)));
    const auto zoom = static_cast<std::uint32_t>(state.range(1));
    views::EventGraphPanel panel = ZoomedPanel(zoom);
    const views::GraphRect window = Window(*project, zoom);
    views::GraphScene scene;
    for (auto _ : state) {
        panel.buildScene(project.get(), window, scene);
        benchmark::DoNotOptimize(scene.markers.data());
    }
    state.counters["events"] = double(scene.endEvent - scene.firstEvent);
    state.counters["markers"] = double(scene.markers.size());
}

void GraphHitTest(benchmark::State& state)
{
    const std::unique_ptr<Project> project = LongTrack(static_cast<std::uint32_t>(state.range(0)));
    const auto zoom = static_cast<std::uint32_t>(state.range(1));
    const views::EventGraphPanel panel = ZoomedPanel(zoom);
    const views::GraphRect window = Window(*project, zoom);
    // Points across the window at the height of pitch 1.0.
    std::int32_t x = window.left;
    std::uint32_t hits = 0;
    for (auto _ : state) {
        hits += panel.hitTest(project.get(), window, { x, 255 }).has_value();
        x = x + 7 < window.right ? x + 7 : window.left;
    }
    benchmark::DoNotOptimize(hits);
}

void TrackEditLayout(benchmark::State& state)
{
    const std::unique_ptr<Project> project = LongTrack(2205);
    views::TrackEditPanel panel(0);
    const std::int32_t top = kEvents / 2 * views::kTrackEditRowHeight;
    const auto height = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state) {
        panel.layout(project.get(), top, top + height);
        benchmark::DoNotOptimize(panel.cells().data());
    }
}

void ZoomArguments(benchmark::internal::Benchmark* bench)
{
    bench->ArgNames({ "spacing", "zoom" });
    for (const std::int64_t spacing : { 2205, 200 }) {
        for (const std::int64_t zoom : { 1, 16, 256, 4096, 65536 })
            bench->Args({ spacing, zoom });
    }
}

BENCHMARK(GraphScene)->Apply(ZoomArguments)->Unit(benchmark::kMicrosecond);
BENCHMARK(GraphHitTest)->Apply(ZoomArguments)->Unit(benchmark::kMicrosecond);
BENCHMARK(TrackEditLayout)
    ->ArgName("height")
    ->Arg(320)
    ->Arg(1200)
    ->Arg(5120)
    ->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
