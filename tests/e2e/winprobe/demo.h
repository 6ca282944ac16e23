#pragma once
// The probe's demo: a window "Winprobe demo" with a label (Label1), an edit (Edit1) and a
// button (Button1), the dialog ids given by ui::ControlId. On start it shows a message box
// "Winprobe" with a stop icon, then a plain one; pressing Button1 writes the edit's text to
// the given file as UTF-8 and ends the program.

namespace winprobe {

int RunDemo(const wchar_t* outputFile);

}  // namespace winprobe
