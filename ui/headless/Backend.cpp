// The headless backend: no windows, only the state tests read back.
#include <deque>
#include <map>
#include <memory>
#include <optional>

#include "ui/Peer.h"
#include "ui/headless/Driver.h"

namespace ui {
namespace {

struct Recorded {
    int dpi = kDesignDpi;
    std::vector<headless::MessageBoxShown> messageBoxes;
    std::vector<headless::FileDialogShown> fileDialogs;
    std::deque<std::optional<rtl::String>> dialogAnswers;
    std::vector<rtl::String> shellOpenRequests;
    std::map<const TProgressBar*, std::vector<int>> positions;
    std::map<const TForm*, bool> shown;
};

Recorded& State() {
    static Recorded recorded;
    return recorded;
}

// The recorded state is made first so that it outlives the forms, whose peers use it.
std::unique_ptr<TApplication>& ApplicationObject() {
    State();
    static std::unique_ptr<TApplication> application = std::make_unique<TApplication>();
    return application;
}

// Records every position a bar shows, as a real bar would paint it.
class ProgressPeer : public Peer {
public:
    explicit ProgressPeer(const TProgressBar& bar) : bar_(bar) { Record(); }
    ~ProgressPeer() override { State().positions.erase(&bar_); }
    void Update(TChange what) override {
        if (what == TChange::state) Record();
    }

private:
    void Record() {
        std::vector<int>& shown = State().positions[&bar_];
        if (shown.empty() || shown.back() != bar_.Position()) shown.push_back(bar_.Position());
    }
    const TProgressBar& bar_;
};

class NullPeer : public Peer {
public:
    void Update(TChange) override {}
};

}  // namespace

TApplication& Application() {
    return *ApplicationObject();
}

namespace backend {

void Initialize() {}

std::unique_ptr<Peer> CreatePeer(TControl& control) {
    if (auto* bar = dynamic_cast<TProgressBar*>(&control))
        return std::make_unique<ProgressPeer>(*bar);
    return std::make_unique<NullPeer>();
}

int ScreenDpi() {
    return State().dpi;
}

void ShowForm(TForm& form) {
    State().shown[&form] = true;
}

void HideForm(TForm& form) {
    State().shown[&form] = false;
}

// Tests drive the forms themselves once Run returns.
void RunMessageLoop() {}

void QuitMessageLoop() {}

void ShowMessageBox(const rtl::String& text, const rtl::String& caption, TMsgIcon icon) {
    State().messageBoxes.push_back({caption, text, icon});
}

bool ExecuteFileDialog(TFileDialogKind kind, rtl::String& fileName) {
    Recorded& state = State();
    state.fileDialogs.push_back({kind, fileName});
    std::optional<rtl::String> answer;
    if (!state.dialogAnswers.empty()) {
        answer = state.dialogAnswers.front();
        state.dialogAnswers.pop_front();
    }
    if (!answer) return false;
    fileName = *answer;
    return true;
}

void ShellOpen(const rtl::String& fileName) {
    State().shellOpenRequests.push_back(fileName);
}

}  // namespace backend

namespace headless {

void Reset(int dpi) {
    ApplicationObject() = std::make_unique<TApplication>();
    State() = Recorded{};
    State().dpi = dpi;
}

void Click(TSpeedButton& button) {
    button.Click();
}

void Click(TCheckBox& box) {
    if (box.Enabled() && box.Visible()) box.Toggled();
}

void Click(TMenuItem& item) {
    item.Click();
}

void Type(TEdit& edit, const rtl::String& text) {
    if (edit.Enabled() && !edit.ReadOnly()) edit.TextEdited(text);
}

void CloseByUser(TForm& form) {
    Application().RunHandler([&form] { form.Close(); });
}

void AnswerNextFileDialog(std::optional<rtl::String> fileName) {
    State().dialogAnswers.push_back(std::move(fileName));
}

const std::vector<MessageBoxShown>& MessageBoxes() {
    return State().messageBoxes;
}

const std::vector<FileDialogShown>& FileDialogs() {
    return State().fileDialogs;
}

const std::vector<rtl::String>& ShellOpenRequests() {
    return State().shellOpenRequests;
}

const std::vector<int>& PositionsShown(const TProgressBar& bar) {
    static const std::vector<int> none;
    const auto found = State().positions.find(&bar);
    return found == State().positions.end() ? none : found->second;
}

bool IsShown(const TForm& form) {
    const auto found = State().shown.find(&form);
    return found != State().shown.end() && found->second;
}

}  // namespace headless
}  // namespace ui
