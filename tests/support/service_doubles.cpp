// The scripted service doubles.
#include "tests/support/service_doubles.h"

namespace uitest {

TModalResult ScriptedMessageBoxes::Show(const TMessageBoxRequest& request) {
    shown_.push_back(request);
    if (WhileShown) WhileShown(request);
    if (!answers_.empty()) {
        const TModalResult answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    ++unscripted_;
    if (request.Buttons.Contains(mbOK)) return mrOk;
    if (request.Buttons.Contains(mbCancel)) return mrCancel;
    if (request.Buttons.Contains(mbNo)) return mrNo;
    return mrCancel;
}

std::vector<std::string> ScriptedMessageBoxes::Texts() const {
    std::vector<std::string> texts;
    for (const auto& r : shown_) texts.push_back(r.Text);
    return texts;
}

void ScriptedMessageBoxes::Clear() {
    answers_.clear();
    shown_.clear();
    unscripted_ = 0;
}

std::optional<std::filesystem::path> ScriptedFileDialogs::Choose(const TFileDialogRequest& request) {
    requests_.push_back(request);
    if (WhileShown) WhileShown(request);
    if (answers_.empty()) return std::nullopt;
    auto answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedFileDialogs::Clear() {
    answers_.clear();
    requests_.clear();
}

}  // namespace uitest
