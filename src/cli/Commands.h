// SPDX-License-Identifier: MIT
#pragma once

// The commands of vellisto-cli. Each takes the arguments after its name and
// returns the exit status: 0 success, 1 failure, 2 usage error.

#include <span>
#include <string_view>

namespace vellisto::cli {

using CommandArgs = std::span<const std::string_view>;

// The usage line of each command, printed by --help and with usage errors.
inline constexpr std::string_view kInfoUsage = "vellisto-cli info INPUT [--json] "
                                               "[--compat normal|drum|auto|auto-track|v1.3|v1.2] "
                                               "[--rate N] [--channels 1|2] [--sound-list KIT.spj]";
inline constexpr std::string_view kConvertUsage
    = "vellisto-cli convert INPUT -o OUT.spj [--compat normal|drum|auto|auto-track|v1.3|v1.2] "
      "[--rate N] [--channels 1|2] [--sound-list KIT.spj]";
inline constexpr std::string_view kMixUsage
    = "vellisto-cli mix INPUT [-o OUT.wav] [--compat normal|drum|auto|auto-track|v1.3|v1.2] "
      "[--rate N] [--channels 1|2] [--sound-list KIT.spj] [--track-list OTHER.spj] [--strict] "
      "[--quiet] [--threads N] [--reference]";
inline constexpr std::string_view kResampleUsage = "vellisto-cli resample IN.wav -o OUT.wav "
                                                   "[--rate R] [--channels 1|2] "
                                                   "[--interp none|linear|sinc-low|sinc] "
                                                   "[--threads N] [--reference]";
inline constexpr std::string_view kBaseFreqUsage = "vellisto-cli basefreq IN.wav [--rate R] "
                                                   "[--channels 1|2] "
                                                   "[--interp none|linear|sinc-low|sinc] "
                                                   "[--loop BEGIN END]";

int RunInfo(CommandArgs args); // InfoCommand.cpp
int RunConvert(CommandArgs args); // ConvertCommand.cpp
int RunResample(CommandArgs args); // ResampleCommand.cpp
int RunBaseFreq(CommandArgs args); // BaseFreqCommand.cpp
int RunMix(CommandArgs args); // MixCommand.cpp

} // namespace vellisto::cli
