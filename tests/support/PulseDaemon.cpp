// SPDX-License-Identifier: MIT
#include "support/PulseDaemon.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vellisto::test {

namespace {

    using Clock = std::chrono::steady_clock;

    // The program's full path as PATH finds it; empty when it is nowhere.
    std::string FindProgram(const std::string& name)
    {
        const char* path = std::getenv("PATH");
        std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
        std::string folder;
        while (std::getline(folders, folder, ':')) {
            const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
            if (::access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        return {};
    }

    bool Exists(const std::string& path)
    {
        struct stat st { };
        return ::stat(path.c_str(), &st) == 0;
    }

} // namespace

PulseDaemon::PulseDaemon(std::uint32_t rate, std::uint16_t channels)
{
    char pattern[] = "/tmp/vellisto-pulse-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        m_why = std::string("cannot make a folder: ") + std::strerror(errno);
        return;
    }
    m_folder = pattern;
    std::filesystem::create_directories(m_folder + "/run");
    std::filesystem::create_directories(m_folder + "/state");
    std::ofstream(m_folder + "/client.conf") << "autospawn = no\n";

    const std::string socket = m_folder + "/native";
    const std::string fifo = m_folder + "/capture.raw";
    const std::string protocol
        = "module-native-protocol-unix socket=" + socket + " auth-anonymous=1";
    const std::string sink = "module-pipe-sink file=" + fifo
        + " sink_name=capture format=s16le rate=" + std::to_string(rate)
        + " channels=" + std::to_string(channels) + " use_system_clock_for_timing=yes";

    const std::string program = FindProgram("pulseaudio");
    if (program.empty()) {
        m_why = "pulseaudio is not installed (scripts/install-deps installs it)";
        return;
    }
    // Everything the child needs is made before fork: between fork and exec
    // a child of a threaded process may only make plain system calls.
    std::vector<std::string> environment {
        "HOME=" + m_folder,
        "XDG_RUNTIME_DIR=" + m_folder + "/run",
        "XDG_CONFIG_HOME=" + m_folder,
        "PULSE_RUNTIME_PATH=" + m_folder + "/run",
        "PULSE_STATE_PATH=" + m_folder + "/state",
    };
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        const std::string name = entry.substr(0, entry.find('='));
        if (name != "HOME" && name != "XDG_RUNTIME_DIR" && name != "XDG_CONFIG_HOME"
            && name.rfind("PULSE_", 0) != 0 && name != "DBUS_SESSION_BUS_ADDRESS")
            environment.push_back(entry);
    }
    const std::vector<std::string> arguments { program, "-n", "--daemonize=no",
        "--exit-idle-time=-1", "--use-pid-file=no", "--system=no", "--realtime=no",
        "--high-priority=no", "--no-cpu-limit=yes", "--disable-shm=yes", "--log-target=stderr",
        "--log-level=warning", "-L", protocol, "-L", sink };
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : environment)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const std::string logPath = m_folder + "/daemon.log";
    const int logFile = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);

    m_pid = ::fork();
    if (m_pid < 0) {
        m_why = std::string("cannot fork: ") + std::strerror(errno);
        if (logFile >= 0)
            ::close(logFile);
        return;
    }
    if (m_pid == 0) {
        // The daemon: its log in the folder, gone with its parent.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (logFile >= 0) {
            ::dup2(logFile, STDOUT_FILENO);
            ::dup2(logFile, STDERR_FILENO);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    if (logFile >= 0)
        ::close(logFile);

    // Ready once the socket and the sink's FIFO exist.
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!(Exists(socket) && Exists(fifo))) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            m_why = "the daemon ended at once: " + log();
            return;
        }
        if (Clock::now() > deadline) {
            m_why = "the daemon did not start within 10 s: " + log();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // The sink holds the FIFO open for writing, so this does not wait.
    m_fifo = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    if (m_fifo < 0) {
        m_why = "cannot open the sink's FIFO: " + std::string(std::strerror(errno));
        return;
    }
    // The sink drops what does not fit into the pipe: give it seconds of room,
    // so that a reader held up by a busy machine loses nothing.
    ::fcntl(m_fifo, F_SETPIPE_SZ, 1 << 20);
    m_reader = std::thread([this] {
        std::uint8_t chunk[65536];
        while (!m_stop.load()) {
            pollfd p { m_fifo, POLLIN, 0 };
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const ssize_t n = ::read(m_fifo, chunk, sizeof chunk);
            if (n > 0)
                m_capture.insert(m_capture.end(), chunk, chunk + n);
            else if (n == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
}

PulseDaemon::~PulseDaemon()
{
    stopReader();
    if (m_fifo >= 0)
        ::close(m_fifo);
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        int status = 0;
        while (::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

void PulseDaemon::useForThisProcess() const
{
    ::setenv("PULSE_SERVER", ("unix:" + m_folder + "/native").c_str(), 1);
    ::setenv("PULSE_CLIENTCONFIG", (m_folder + "/client.conf").c_str(), 1);
    ::setenv("PULSE_COOKIE", (m_folder + "/cookie").c_str(), 1);
}

std::vector<std::uint8_t> PulseDaemon::takeCapture()
{
    stopReader();
    return std::move(m_capture);
}

void PulseDaemon::stopReader()
{
    m_stop.store(true);
    if (m_reader.joinable())
        m_reader.join();
}

std::string PulseDaemon::log() const
{
    std::ifstream in(m_folder + "/daemon.log");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace vellisto::test
