#include "cli/Console.h"

namespace cli {
namespace {

Console* current = nullptr;

}  // namespace

Console& CurrentConsole() {
    return current ? *current : SystemConsole();
}

void SetCurrentConsole(Console* console) {
    current = console;
}

}  // namespace cli
