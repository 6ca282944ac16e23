// Program UnCofrex: the unlocker. Every package is a copy of it carrying the file.
#include <windows.h>

#include <exception>

#include "ui/Forms.h"
#include "unlocker/MainFormUnlock.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ui::Application().Initialize();
    ui::Application().SetMainFormOnTaskbar(true);
    TForm2* Form2 = nullptr;
    ui::Application().RunHandler([&] { ui::Application().CreateForm(Form2); });
    ui::Application().Run();
    return 0;
}
