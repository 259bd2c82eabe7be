// SPDX-License-Identifier: MIT
#include "BenchRounds.h"

#include <algorithm>
#include <cstdio>

namespace vellisto::bench {

Summary Summarise(std::vector<double> values)
{
    Summary s;
    s.count = values.size();
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    s.median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.low = values.front();
    s.high = values.back();
    return s;
}

std::vector<double> Ratios(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> out;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        out.push_back(b[i] > 0 ? a[i] / b[i] : 0.0);
    return out;
}

std::vector<std::vector<double>> Alternate(
    int rounds, const std::vector<std::function<double()>>& contenders)
{
    const std::size_t n = contenders.size();
    std::vector<std::vector<double>> figures(n);
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t c = (static_cast<std::size_t>(round) + k) % n;
            figures[c].push_back(contenders[c]());
        }
    }
    return figures;
}

std::string Spread(const Summary& s, int decimals, double unit)
{
    char text[96];
    std::snprintf(text, sizeof text, "%.*f [%.*f-%.*f]", decimals, s.median / unit, decimals,
        s.low / unit, decimals, s.high / unit);
    return text;
}

} // namespace vellisto::bench
