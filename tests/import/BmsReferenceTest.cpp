// SPDX-License-Identifier: MIT
// Charts made up at random (fractional and extended tempos, stops, measure
// lengths, long notes, both players, replacements, lines in any order) are
// imported by the standard rules and checked note for note against an
// independent reading: a BMS parser from the npm registry, installed into the
// build tree by tests/import/bms-reference/install and run with node. Its
// times are floating point; ours are exact, so each of our frames must be the
// whole frame at or before the reference's time, within rounding.

#include "BmsChart.h"
#include "ImportTestUtil.h"
#include "import/BmsImport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace vellisto;
using namespace vellisto::import;
using namespace vellisto::import::testing;

namespace {

const std::filesystem::path kScripts
    = std::filesystem::path(VEL_TEST_DATA_DIR).parent_path() / "import" / "bms-reference";
const std::filesystem::path kFolder = std::filesystem::path(VEL_TEST_BUILD_DIR) / "bms-reference";

struct Note {
    double frames;
    std::uint32_t id;
};

// A small deterministic generator for the charts.
class Dice {
public:
    explicit Dice(std::uint32_t seed)
        : m_state(seed * 2654435761u + 1)
    {
    }
    std::uint32_t below(std::uint32_t n)
    {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(m_state >> 33) % n;
    }

private:
    std::uint64_t m_state;
};

std::string Id(std::uint32_t value)
{
    const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    return { digits[value / 36], digits[value % 36] };
}

std::string MeasureText(std::uint32_t measure)
{
    char text[4];
    std::snprintf(text, sizeof text, "%03u", measure);
    return text;
}

// n slots of which the chosen ones hold IDs from pick().
template <typename Pick>
std::string Slots(Dice& dice, std::uint32_t n, std::uint32_t filled, Pick pick)
{
    std::vector<std::string> slots(n, "00");
    for (std::uint32_t i = 0; i < filled; ++i)
        slots[dice.below(n)] = pick();
    std::string data;
    for (const std::string& s : slots)
        data += s;
    return data;
}

BmsChart MakeChart(std::uint32_t seed)
{
    Dice dice(seed);
    const std::uint32_t resolutions[] = { 1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64, 192 };
    const auto resolution = [&] { return resolutions[dice.below(std::size(resolutions))]; };
    // Sound 90 is the #LNOBJ sound, written only on key channels: the
    // reference reads it as a long-note end on the background channel too.
    const auto sound = [&] { return Id(1 + dice.below(89)); };

    std::vector<std::string> lines;
    const char* fractions[] = { "", ".5", ".25", ".125", ".333333" };
    lines.push_back(
        std::string("#BPM ") + std::to_string(90 + dice.below(110)) + fractions[dice.below(5)]);
    for (std::uint32_t id = 1; id <= 6; ++id) {
        lines.push_back(std::string("#BPM") + Id(id) + " " + std::to_string(60 + dice.below(200))
            + fractions[dice.below(5)]);
        lines.push_back(std::string("#STOP") + Id(id) + " " + std::to_string(1 + dice.below(191)));
    }
    for (std::uint32_t id = 1; id <= 90; ++id)
        lines.push_back(std::string("#WAV") + Id(id) + " s" + Id(id) + ".wav");
    lines.push_back(std::string("#LNOBJ ") + Id(90));

    for (std::uint32_t m = 0; m < 48; ++m) {
        const std::string head = std::string("#") + MeasureText(m);
        if (dice.below(4) == 0)
            lines.push_back(head + "02:" + std::to_string(1 + dice.below(7)) + "."
                + std::to_string(dice.below(100)));
        // Tempo changes and stops never share a measure's channel 03 with 08,
        // whose order at one position the two readings may take differently.
        if (m % 2 == 0 && dice.below(2) == 0)
            lines.push_back(head + "03:" + Slots(dice, resolution(), 2, [&] {
                char hex[3];
                std::snprintf(hex, sizeof hex, "%02X", 40 + dice.below(200));
                return std::string(hex);
            }));
        if (m % 2 == 1 && dice.below(2) == 0)
            lines.push_back(
                head + "08:" + Slots(dice, resolution(), 2, [&] { return Id(1 + dice.below(6)); }));
        if (dice.below(3) == 0)
            lines.push_back(
                head + "09:" + Slots(dice, resolution(), 1, [&] { return Id(1 + dice.below(6)); }));
        for (std::uint32_t layer = dice.below(3); layer > 0; --layer)
            lines.push_back(head + "01:" + Slots(dice, resolution(), 1 + dice.below(6), sound));
        for (const char* channel : { "11", "12", "13", "16", "18", "21", "24", "29" }) {
            if (dice.below(3) != 0)
                lines.push_back(
                    head + channel + ":" + Slots(dice, resolution(), 1 + dice.below(5), [&] {
                        return dice.below(8) == 0 ? Id(90)
                                                  : sound(); // now and then a long-note end
                    }));
        }
        // A long note per line: a start and an end in one measure.
        if (dice.below(2) == 0) {
            const std::uint32_t n = 2 * (1 + dice.below(8));
            std::string data;
            const std::uint32_t start = dice.below(n / 2);
            for (std::uint32_t i = 0; i < n; ++i)
                data += i == start ? sound() : i == start + n / 2 ? "05" : "00";
            lines.push_back(head + (dice.below(2) ? "5" : "6") + std::to_string(1 + dice.below(9))
                + ":" + data);
        }
    }
    // Any order: shuffled, so headers may follow notes and measures interleave.
    for (std::size_t i = lines.size(); i > 1; --i)
        std::swap(lines[i - 1], lines[dice.below(static_cast<std::uint32_t>(i))]);
    BmsChart chart;
    for (const std::string& line : lines)
        chart.line(line);
    return chart;
}

class BmsReference : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (std::system("command -v node >/dev/null 2>&1 && command -v npm >/dev/null 2>&1") != 0)
            return;
        if (!std::filesystem::exists(kFolder / "node_modules" / "bms" / "package.json")) {
            const std::string command = std::string("'") + (kScripts / "install").string() + "' '"
                + kFolder.string() + "' >/dev/null 2>&1";
            if (std::system(command.c_str()) != 0)
                return;
        }
        s_ready = true;
    }

    void SetUp() override
    {
        if (!s_ready)
            GTEST_SKIP()
                << "node, npm or the npm registry is not available for the reference parser";
    }

    static std::vector<Note> Reference(const std::filesystem::path& chart, std::uint32_t rate)
    {
        const auto out = chart.string() + ".reference";
        const std::string command = std::string("NODE_PATH='") + (kFolder / "node_modules").string()
            + "' node '" + (kScripts / "reference.js").string() + "' '" + chart.string() + "' "
            + std::to_string(rate) + " > '" + out + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        std::ifstream in(out);
        std::vector<Note> notes;
        Note note {};
        while (in >> note.frames >> note.id)
            notes.push_back(note);
        return notes;
    }

    static inline bool s_ready = false;
};

} // namespace

TEST_F(BmsReference, EveryNoteLandsOnTheFrameOfTheReferenceTime)
{
    std::filesystem::create_directories(kFolder / "charts");
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        const std::uint32_t rate = seed == 6 ? 48000 : 44100;
        SCOPED_TRACE(
            std::string("chart ") + std::to_string(seed) + " at " + std::to_string(rate) + " Hz");
        const BmsChart chart = MakeChart(seed);
        const auto path
            = kFolder / "charts" / (std::string("chart") + std::to_string(seed) + ".bms");
        {
            const auto bytes = chart.bytes();
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<std::streamsize>(bytes.size()));
        }
        auto project = NewProject(Compatibility::kNormal, rate);
        ASSERT_TRUE(ImportBmsFile(*project, chart.bytes(), u"/charts/chart.bms",
            BmsImportOptions { BmsRules::kStandard, 0 }));
        std::vector<std::pair<std::uint32_t, std::uint32_t>> ours;
        for (const Track& track : project->tracks) {
            for (const Ev& e : Events(track)) {
                if (e.type == EventType::kPlay)
                    ours.emplace_back(e.time, e.data1);
            }
        }
        std::vector<Note> reference = Reference(path, rate);
        ASSERT_GT(reference.size(), 500u);
        std::sort(ours.begin(), ours.end());
        std::vector<std::pair<std::uint32_t, std::uint32_t>> theirs;
        for (const Note& note : reference)
            theirs.emplace_back(
                static_cast<std::uint32_t>(std::floor(note.frames + 1e-4)), note.id);
        std::sort(theirs.begin(), theirs.end());
        // Both sorted: walk them together and name what either lacks.
        std::size_t a = 0;
        std::size_t b = 0;
        std::size_t differences = 0;
        while ((a < ours.size() || b < theirs.size()) && differences < 10) {
            if (b == theirs.size() || (a < ours.size() && ours[a] < theirs[b])) {
                ADD_FAILURE() << "only ours: frame " << ours[a].first << " sound "
                              << ours[a].second;
                ++a;
                ++differences;
            } else if (a == ours.size() || theirs[b] < ours[a]) {
                ADD_FAILURE() << "only the reference's: frame " << theirs[b].first << " sound "
                              << theirs[b].second;
                ++b;
                ++differences;
            } else {
                ++a;
                ++b;
            }
        }
        // The last note lies far into the chart: no drift over its length.
        EXPECT_GT(ours.back().first, 40u * rate);
    }
}
