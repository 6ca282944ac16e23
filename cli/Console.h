#pragma once
// What a command sees of the world around it: standard output and error, standard
// input, the terminal. The program uses the system's; tests put in their own.
#include <optional>
#include <string>
#include <string_view>

namespace cli {

class Console {
public:
    virtual ~Console() = default;
    // UTF-8 text, written as it is (no line end added).
    virtual void Out(std::string_view text) = 0;
    virtual void Err(std::string_view text) = 0;
    // One line of standard input without its line end; nothing at the end of input.
    virtual std::optional<std::string> ReadInputLine() = 0;
    // Shows `prompt` on the terminal and reads one line there without echoing it;
    // nothing when there is no terminal to read from.
    virtual std::optional<std::string> ReadHiddenLine(std::string_view prompt) = 0;
    // Whether standard error is a terminal (progress is drawn only there).
    virtual bool ErrIsTerminal() = 0;
};

// One line of the C standard input, without its line end ("\n" or "\r\n"); nothing
// at the end of input. The system consoles read their input with it.
std::optional<std::string> ReadStandardInputLine();

// The system's console: standard streams and the controlling terminal.
Console& SystemConsole();

// The console commands use; the system's until a test sets another (nullptr
// restores it). The caller keeps ownership.
Console& CurrentConsole();
void SetCurrentConsole(Console* console);

}  // namespace cli
