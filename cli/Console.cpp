#include "cli/Console.h"

#include <cstdio>

namespace cli {
namespace {

Console* current = nullptr;

}  // namespace

std::optional<std::string> ReadStandardInputLine() {
    std::string line;
    int c;
    while ((c = std::fgetc(stdin)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if (c == EOF && line.empty()) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

Console& CurrentConsole() {
    return current ? *current : SystemConsole();
}

void SetCurrentConsole(Console* console) {
    current = console;
}

}  // namespace cli
