// SPDX-License-Identifier: MIT
#include "BenchMachine.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace vellisto::bench {

namespace {

    // The value of the first "key : value" line of /proc/cpuinfo with this key.
    std::string CpuInfoField(const std::string& key)
    {
        std::ifstream in("/proc/cpuinfo");
        std::string line;
        while (std::getline(in, line)) {
            const auto colon = line.find(':');
            if (colon == std::string::npos)
                continue;
            std::string name = line.substr(0, colon);
            name.erase(name.find_last_not_of(" \t") + 1);
            if (name == key) {
                const auto start = line.find_first_not_of(" \t", colon + 1);
                return start == std::string::npos ? std::string() : line.substr(start);
            }
        }
        return {};
    }

    std::string ReadLine(const std::string& path)
    {
        std::ifstream in(path);
        std::string line;
        std::getline(in, line);
        return line;
    }

    bool IsVectorFlag(const std::string& flag)
    {
        static const char* const kFlags[]
            = { "sse2", "ssse3", "sse4_1", "sse4_2", "avx", "avx2", "fma", "bmi2", "f16c" };
        return std::find(std::begin(kFlags), std::end(kFlags), flag) != std::end(kFlags)
            || flag.rfind("avx512", 0) == 0;
    }

    std::vector<CacheLevel> SysfsCaches()
    {
        std::vector<CacheLevel> caches;
        for (int index = 0; index < 16; ++index) {
            const std::string dir
                = "/sys/devices/system/cpu/cpu0/cache/index" + std::to_string(index) + "/";
            const std::string level = ReadLine(dir + "level");
            if (level.empty())
                break;
            caches.push_back({ std::atoi(level.c_str()), ReadLine(dir + "type"),
                ReadLine(dir + "size"), ReadLine(dir + "shared_cpu_list") });
        }
        return caches;
    }

    std::vector<CacheLevel> SysconfCaches()
    {
        struct Item {
            int level;
            const char* type;
            int name;
        };
        const Item items[] = { { 1, "Data", _SC_LEVEL1_DCACHE_SIZE },
            { 1, "Instruction", _SC_LEVEL1_ICACHE_SIZE }, { 2, "Unified", _SC_LEVEL2_CACHE_SIZE },
            { 3, "Unified", _SC_LEVEL3_CACHE_SIZE } };
        std::vector<CacheLevel> caches;
        for (const Item& item : items) {
            const long bytes = sysconf(item.name);
            if (bytes > 0)
                caches.push_back({ item.level, item.type, std::to_string(bytes / 1024) + "K", "" });
        }
        return caches;
    }

} // namespace

Machine DescribeMachine()
{
    Machine machine;
    machine.model = CpuInfoField("model name");
    if (machine.model.empty())
        machine.model = "unknown";
    std::istringstream flags(CpuInfoField("flags"));
    for (std::string flag; flags >> flag;) {
        if (flag == "hypervisor")
            machine.virtualMachine = true;
        else if (IsVectorFlag(flag))
            machine.vectorExtensions.push_back(flag);
    }
    machine.caches = SysfsCaches();
    if (machine.caches.empty())
        machine.caches = SysconfCaches();
    machine.hardwareThreads = std::thread::hardware_concurrency();
    return machine;
}

std::string LoadAverage()
{
    std::istringstream in(ReadLine("/proc/loadavg"));
    std::string one, five, fifteen;
    if (!(in >> one >> five >> fifteen))
        return "unknown";
    return one + " " + five + " " + fifteen;
}

std::string MachineText(const Machine& machine)
{
    std::ostringstream text;
    text << "- Processor: " << machine.model << (machine.virtualMachine ? " (virtual machine)" : "")
         << ", " << machine.hardwareThreads << " hardware threads\n";
    text << "- Vector extensions:";
    for (const std::string& flag : machine.vectorExtensions)
        text << ' ' << flag;
    if (machine.vectorExtensions.empty())
        text << " unknown";
    text << "\n- Caches:";
    if (machine.caches.empty())
        text << " unknown";
    for (std::size_t i = 0; i < machine.caches.size(); ++i) {
        const CacheLevel& c = machine.caches[i];
        text << (i == 0 ? " " : "; ") << 'L' << c.level << ' ' << c.type << ' ' << c.size;
        if (!c.sharedBy.empty())
            text << " (processors " << c.sharedBy << ")";
    }
    text << '\n';
    return text.str();
}

} // namespace vellisto::bench
