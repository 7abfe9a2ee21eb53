#pragma once
// File dialogs and message boxes, through the platform services (services.h).
#include <filesystem>
#include <string>

#include "platform/ui/controls.h"
#include "platform/ui/services.h"

// An open dialog (created with Add<TOpenDialog> on its form). Execute shows it through the
// file dialog service and, when the user chose a file, sets FileName and returns true.
// DefaultExt may be written "fct", ".fct" or "*.fct": the extension (fct) is added to a
// chosen name that has none.
class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TWinControl* parent);

    bool Execute();

    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(std::string ext) { defaultExt_ = std::move(ext); }
    const std::string& Filter() const { return filter_; }
    void SetFilter(std::string filter) { filter_ = std::move(filter); }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int index) { filterIndex_ = index; }
    const std::filesystem::path& FileName() const { return fileName_; }
    void SetFileName(std::filesystem::path name) { fileName_ = std::move(name); }
    const std::filesystem::path& InitialDir() const { return initialDir_; }
    void SetInitialDir(std::filesystem::path dir) { initialDir_ = std::move(dir); }
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

protected:
    TOpenDialog(TWinControl* parent, TFileDialogKind kind);

private:
    TFileDialogKind kind_;
    std::string defaultExt_;
    std::string filter_;
    int filterIndex_ = 1;
    std::filesystem::path fileName_;
    std::filesystem::path initialDir_;
    std::string title_;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TWinControl* parent) : TOpenDialog(parent, fdSave) {}
};

// A message box with the text and an OK button, titled with the application's title.
void ShowMessage(const std::string& text);
// A message box of the kind with the buttons; returns mrYes, mrNo, mrOk, mrCancel, ...
TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
