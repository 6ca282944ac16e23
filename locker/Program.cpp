#include "locker/Program.h"

#include "locker/AboutFormLock.h"
#include "locker/CopyrightFormLock.h"
#include "locker/HelpFormLock.h"
#include "locker/MainFormLock.h"
#include "ui/Forms.h"

void RunCofrex() {
    ui::Application().Initialize();
    ui::Application().SetMainFormOnTaskbar(true);
    ui::Application().CreateForm(Form1);
    ui::Application().CreateForm(Form2);
    ui::Application().CreateForm(Form3);
    ui::Application().CreateForm(Form4);
    ui::Application().Run();
}
