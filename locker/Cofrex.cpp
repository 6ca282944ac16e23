// Program Cofrex: the locker.
#include <windows.h>

#include "locker/Program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RunCofrex();
    return 0;
}
