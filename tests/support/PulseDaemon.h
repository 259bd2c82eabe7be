// SPDX-License-Identifier: MIT
#pragma once

// A PulseAudio daemon of a test's own: started in a fresh folder with its own
// socket, runtime and state folders (so that it never meets a user's session),
// with one sink, module-pipe-sink, that writes what it plays into a FIFO at
// the pace of the system clock. A reader thread collects those bytes. The
// daemon dies with the process that started it.
//
// Works as root: the daemon then only warns that it is not meant to run so.

#include <atomic>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace vellisto::test {

class PulseDaemon {
public:
    // Starts the daemon with its sink in 16-bit little-endian PCM of the
    // given rate and channels, and waits (at most about ten seconds) until it
    // accepts clients. ok() says whether it did; why() says what failed.
    PulseDaemon(std::uint32_t rate, std::uint16_t channels);
    ~PulseDaemon(); // ends the reader and the daemon, and removes the folder
    PulseDaemon(const PulseDaemon&) = delete;
    PulseDaemon& operator=(const PulseDaemon&) = delete;

    bool ok() const { return m_pid > 0 && m_reader.joinable(); }
    const std::string& why() const { return m_why; }
    const std::string& folder() const { return m_folder; }

    // Points this process's sound clients at the daemon (PULSE_SERVER and the
    // client's configuration, without autospawn). Call before the first
    // client connects.
    void useForThisProcess() const;

    // Stops reading and returns every byte the sink wrote so far.
    std::vector<std::uint8_t> takeCapture();

private:
    void stopReader();
    std::string log() const;

    std::string m_folder;
    std::string m_why;
    pid_t m_pid = -1;
    int m_fifo = -1;
    std::thread m_reader;
    std::atomic<bool> m_stop { false };
    std::vector<std::uint8_t> m_capture; // the reader's until it has ended
};

} // namespace vellisto::test
