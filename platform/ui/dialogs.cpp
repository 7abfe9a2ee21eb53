// File dialogs and message boxes through the platform services.
#include "platform/ui/dialogs.h"

#include "platform/ui/application.h"

namespace {

// "fct", ".fct" and "*.fct" all mean the extension fct; a pattern gives none.
std::string PlainExtension(const std::string& ext) {
    size_t start = 0;
    if (start < ext.size() && ext[start] == '*') ++start;
    if (start < ext.size() && ext[start] == '.') ++start;
    std::string plain = ext.substr(start);
    if (plain.find_first_of("*?./\\") != std::string::npos) return {};
    return plain;
}

std::string CaptionOf(TMsgDlgType type) {
    switch (type) {
        case mtWarning: return "Attention";
        case mtError: return "Erreur";
        case mtInformation: return "Information";
        case mtConfirmation: return "Confirmation";
        case mtCustom: break;
    }
    if (!Application->Title().empty()) return Application->Title();
    return Application->MainForm() ? Application->MainForm()->Caption() : std::string();
}

TModalResult ShowBox(TMessageBoxRequest request) {
    Application->Initialize();
    return Application->RunModal([&] { return Application->Services().MessageBoxes->Show(request); });
}

}  // namespace

TOpenDialog::TOpenDialog(TWinControl* parent) : TOpenDialog(parent, fdOpen) {}

TOpenDialog::TOpenDialog(TWinControl* parent, TFileDialogKind kind)
    : TComponent(parent ? parent->OwnerForm() : nullptr), kind_(kind) {}

bool TOpenDialog::Execute() {
    TFileDialogRequest request;
    request.Kind = kind_;
    request.Title = title_;
    request.Filter = filter_;
    request.FilterIndex = filterIndex_;
    request.DefaultExt = PlainExtension(defaultExt_);
    request.FileName = fileName_;
    request.InitialDir = initialDir_;
    Application->Initialize();
    const std::optional<std::filesystem::path> chosen =
        Application->RunModal([&] { return Application->Services().FileDialogs->Choose(request); });
    if (!chosen || chosen->empty()) return false;
    std::filesystem::path name = *chosen;
    if (!request.DefaultExt.empty() && !name.has_extension()) name += "." + request.DefaultExt;
    fileName_ = std::move(name);
    return true;
}

void ShowMessage(const std::string& text) {
    TMessageBoxRequest request;
    request.Text = text;
    request.Caption = CaptionOf(mtCustom);
    request.Type = mtCustom;
    request.Buttons = TMsgDlgButtons{mbOK};
    ShowBox(std::move(request));
}

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int /*helpContext*/) {
    TMessageBoxRequest request;
    request.Text = text;
    request.Caption = CaptionOf(type);
    request.Type = type;
    request.Buttons = buttons.Empty() ? TMsgDlgButtons{mbOK} : buttons;
    return ShowBox(std::move(request));
}
