// SPDX-License-Identifier: MIT
#include "import/BmsControlFlow.h"

namespace vellisto::import {

std::uint64_t SplitMix64::next()
{
    m_state += 0x9E3779B97F4A7C15ull; // wraps by design
    std::uint64_t z = m_state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t SplitMix64::draw(std::uint64_t bound)
{
    // Outputs below 2^64 mod bound are drawn again, so that every value of
    // x mod bound is equally likely.
    const std::uint64_t threshold = (0 - bound) % bound;
    for (;;) {
        const std::uint64_t x = next();
        if (x >= threshold)
            return 1 + x % bound;
    }
}

void BmsControlFlow::setValue(std::uint64_t value)
{
    // A #RANDOM right inside a random block with no open #IF replaces its
    // value; anywhere else it opens a block.
    if (!m_stack.empty() && m_stack.back().isRandom) {
        m_stack.back().value = value;
        return;
    }
    const bool outer = active();
    m_stack.push_back({ true, value, outer, false, outer });
}

void BmsControlFlow::random(std::optional<std::uint64_t> bound)
{
    // No draw where lines do not count: the branches taken elsewhere stay
    // the same whatever an untaken branch holds.
    const bool draws = active() && bound && *bound > 0;
    setValue(draws ? m_generator.draw(*bound) : 0);
}

void BmsControlFlow::setRandom(std::optional<std::uint64_t> value) { setValue(value.value_or(0)); }

std::uint64_t BmsControlFlow::currentValue() const
{
    for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
        if (it->isRandom)
            return it->value;
    }
    return 0;
}

void BmsControlFlow::ifBranch(std::optional<std::uint64_t> value)
{
    const bool outer = active();
    const bool match = outer && value && *value == currentValue();
    m_stack.push_back({ false, 0, outer, match, match });
}

BmsControlFlow::Entry* BmsControlFlow::innermostIf()
{
    // A random block opened inside the branch and left open ends with it.
    for (std::size_t i = m_stack.size(); i > 0; --i) {
        if (!m_stack[i - 1].isRandom) {
            m_stack.resize(i);
            return &m_stack.back();
        }
    }
    return nullptr;
}

void BmsControlFlow::elseIfBranch(std::optional<std::uint64_t> value)
{
    Entry* entry = innermostIf();
    if (entry == nullptr)
        return;
    const bool match = entry->outerActive && !entry->taken && value && *value == currentValue();
    entry->active = match;
    entry->taken = entry->taken || match;
}

void BmsControlFlow::elseBranch()
{
    Entry* entry = innermostIf();
    if (entry == nullptr)
        return;
    entry->active = entry->outerActive && !entry->taken;
    entry->taken = true;
}

void BmsControlFlow::endIf()
{
    // Closes the innermost #IF and any random block left open inside it.
    for (std::size_t i = m_stack.size(); i > 0; --i) {
        if (!m_stack[i - 1].isRandom) {
            m_stack.resize(i - 1);
            return;
        }
    }
}

void BmsControlFlow::endRandom()
{
    for (std::size_t i = m_stack.size(); i > 0; --i) {
        if (m_stack[i - 1].isRandom) {
            m_stack.resize(i - 1);
            return;
        }
    }
}

} // namespace vellisto::import
