// The system console on POSIX: standard streams, the password read from the
// controlling terminal (/dev/tty) with echo off, Ctrl-C as SIGINT.
#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "cli/Console.h"
#include "cli/Interrupt.h"

namespace cli {
namespace {

void WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        text.remove_prefix(static_cast<size_t>(written));
    }
}

// Reads up to a line end; false when the read was cut short (end, error, Ctrl-C).
bool ReadLine(int fd, std::string& line) {
    char c;
    for (;;) {
        const ssize_t got = ::read(fd, &c, 1);
        if (got <= 0) return false;
        if (c == '\n') return true;
        line.push_back(c);
    }
}

class PosixConsole : public Console {
public:
    void Out(std::string_view text) override {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
    void Err(std::string_view text) override { WriteAll(STDERR_FILENO, text); }

    std::optional<std::string> ReadInputLine() override { return ReadStandardInputLine(); }

    std::optional<std::string> ReadHiddenLine(std::string_view prompt) override {
        const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (tty < 0) return std::nullopt;
        termios saved{};
        if (::tcgetattr(tty, &saved) != 0) {
            ::close(tty);
            return std::nullopt;
        }
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        // Echo goes off before the prompt shows, so nothing typed after it is echoed.
        ::tcsetattr(tty, TCSAFLUSH, &quiet);
        WriteAll(tty, prompt);
        std::string line;
        const bool complete = ReadLine(tty, line);
        ::tcsetattr(tty, TCSAFLUSH, &saved);
        if (!complete) WriteAll(tty, "\n");
        ::close(tty);
        ThrowIfInterrupted();
        if (!complete && line.empty()) return std::nullopt;
        return line;
    }

    bool ErrIsTerminal() override { return ::isatty(STDERR_FILENO) == 1; }
};

void OnInterrupt(int) {
    RequestInterrupt();
}

}  // namespace

Console& SystemConsole() {
    static PosixConsole console;
    return console;
}

// No SA_RESTART: a password read in progress returns at once, so the terminal's
// echo is restored before the program ends.
void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace cli
