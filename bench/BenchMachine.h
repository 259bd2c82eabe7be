// SPDX-License-Identifier: MIT
#pragma once

// What a benchmark figure was measured on: the processor's model, its vector
// extensions and caches, its hardware threads and how busy the machine was.
// Read from /proc/cpuinfo, /sys/devices/system/cpu and /proc/loadavg, with
// sysconf as the fallback for the caches; anything unreadable is reported as
// unknown.

#include <string>
#include <vector>

namespace vellisto::bench {

struct CacheLevel {
    int level = 0;
    std::string type; // "Data", "Instruction", "Unified"
    std::string size; // as the system writes it, "32K"
    std::string sharedBy; // the processors that share it, "0-1"
};

struct Machine {
    std::string model; // "unknown" when not found
    bool virtualMachine = false;
    std::vector<std::string> vectorExtensions; // the SSE, AVX, AVX2, FMA and AVX-512 flags
    std::vector<CacheLevel> caches;
    unsigned hardwareThreads = 0;
};

Machine DescribeMachine();

// The three load averages of /proc/loadavg ("5.81 5.65 4.65"), or "unknown".
std::string LoadAverage();

// Markdown lines that describe the machine.
std::string MachineText(const Machine& machine);

} // namespace vellisto::bench
