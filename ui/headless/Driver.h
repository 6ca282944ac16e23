#pragma once
// The headless backend keeps state only. Tests drive forms through this header: they
// click and type as a user would, answer file dialogs in advance, and read the message
// boxes, shell requests and progress positions that the forms produced.
#include <optional>
#include <vector>

#include "rtl/String.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"

namespace ui::headless {

struct MessageBoxShown {
    rtl::String Caption;
    rtl::String Text;
    TMsgIcon Icon;
    bool operator==(const MessageBoxShown&) const = default;
};

struct FileDialogShown {
    TFileDialogKind Kind;
    rtl::String ProposedName;
};

// Forgets everything recorded, destroys every form and starts a new application
// object whose forms are laid out at `dpi`.
void Reset(int dpi = kDesignDpi);

// User actions; handlers run at the event boundary as they would on a real screen.
void Click(TSpeedButton& button);
void Click(TCheckBox& box);
void Click(TMenuItem& item);
void Type(TEdit& edit, const rtl::String& text);
void CloseByUser(TForm& form);

// The next file dialog returns `fileName`, or is cancelled with std::nullopt.
void AnswerNextFileDialog(std::optional<rtl::String> fileName);

const std::vector<MessageBoxShown>& MessageBoxes();
const std::vector<FileDialogShown>& FileDialogs();
const std::vector<rtl::String>& ShellOpenRequests();
// Every position the bar showed since it was created, in order.
const std::vector<int>& PositionsShown(const TProgressBar& bar);
bool IsShown(const TForm& form);

}  // namespace ui::headless
