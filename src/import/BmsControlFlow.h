// SPDX-License-Identifier: MIT
#pragma once

// Which lines of a chart count under the standard rules: the #RANDOM,
// #SETRANDOM, #IF, #ELSEIF, #ELSE, #ENDIF and #ENDRANDOM blocks, evaluated
// with a seeded generator so that the same seed always picks the same
// branches.
//
// Blocks nest: a #RANDOM inside a taken branch opens a block of its own,
// while a #RANDOM met where the current random block has no open #IF
// replaces that block's value (charts often omit #ENDRANDOM between two
// blocks). #IF n opens a branch taken when the current value is n; #ELSEIF n
// and #ELSE take over when no earlier branch of that #IF was taken (closing
// any random block opened inside the branch before them); #ENDIF
// closes the innermost #IF, together with any random block opened inside it
// and left open; #ENDRANDOM closes the innermost random block and whatever
// it left open. Unmatched closings are ignored, and blocks left open at the
// end of the chart simply end there. Lines inside a branch not taken do not
// count; nor does a #RANDOM there draw a value.
//
// Values: #RANDOM n draws from SplitMix64 seeded with the import's seed, one
// output per draw, in chart order: the first output x that is not below
// 2^64 mod n gives 1 + (x mod n), uniform over 1..n. A #RANDOM or
// #SETRANDOM without a usable number gives 0, which no #IF of a number
// written as 1 or more matches. One object per import; not thread-safe.

#include <cstdint>
#include <optional>
#include <vector>

namespace vellisto::import {

// The SplitMix64 sequence: state advances by 0x9E3779B97F4A7C15 and each
// output is the state mixed by two multiply-xorshift rounds.
class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t seed)
        : m_state(seed)
    {
    }
    std::uint64_t next();
    // 1..bound, uniformly (bound at least 1).
    std::uint64_t draw(std::uint64_t bound);

private:
    std::uint64_t m_state;
};

class BmsControlFlow {
public:
    explicit BmsControlFlow(std::uint64_t seed)
        : m_generator(seed)
    {
    }

    // Whether lines here count.
    bool active() const { return m_stack.empty() || m_stack.back().active; }

    void random(std::optional<std::uint64_t> bound);
    void setRandom(std::optional<std::uint64_t> value);
    void ifBranch(std::optional<std::uint64_t> value);
    void elseIfBranch(std::optional<std::uint64_t> value);
    void elseBranch();
    void endIf();
    void endRandom();

private:
    struct Entry {
        bool isRandom = false;
        std::uint64_t value = 0; // a random block's value
        bool outerActive = true; // whether the lines around the entry count
        bool taken = false; // an #IF: some branch of it was taken
        bool active = true; // whether lines count inside the entry
    };

    void setValue(std::uint64_t value);
    // The innermost open #IF, after closing the random blocks opened inside
    // it; null when no #IF is open.
    Entry* innermostIf();
    std::uint64_t currentValue() const;

    std::vector<Entry> m_stack;
    SplitMix64 m_generator;
};

} // namespace vellisto::import
