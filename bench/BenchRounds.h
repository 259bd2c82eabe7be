// SPDX-License-Identifier: MIT
#pragma once

// Figures that hold on a busy machine: the ways being compared are measured
// in alternation, a short window each per round, over several rounds, so
// that a stretch of load from other programs slows them alike; each figure is
// the median of its rounds, with the lowest and highest round as its spread.
// A ratio between two ways is taken round by round (the windows of one round
// lie next to each other in time) and summarised the same way.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace vellisto::bench {

struct Summary {
    double median = 0;
    double low = 0;
    double high = 0;
    std::size_t count = 0;
};

// The median (of the middle two for an even count), lowest and highest value.
Summary Summarise(std::vector<double> values);

// Round by round, a[i] / b[i] (over the rounds both have).
std::vector<double> Ratios(const std::vector<double>& a, const std::vector<double>& b);

// Measures each contender once per round, one after the other, for `rounds`
// rounds; each round starts one contender further on, so that none always
// runs right after the same other. A contender measures one window and
// returns its figure (a rate: higher is faster). Returns each contender's
// figures, round by round.
std::vector<std::vector<double>> Alternate(
    int rounds, const std::vector<std::function<double()>>& contenders);

// "median [low-high]" with `decimals` decimals, each value divided by `unit`.
std::string Spread(const Summary& s, int decimals, double unit = 1.0);

} // namespace vellisto::bench
