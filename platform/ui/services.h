#pragma once
// The services that stand between the program and the desktop: message boxes, file
// dialogs, the mouse cursor, the screen and the clipboard. Each has a Qt implementation
// (installed by TApplication::Initialize) and a scripted double in tests/support.
//
// The services only answer; the component layer does the rest the same way for both:
// a message box or file dialog is run through TApplication::RunModal, which takes the
// activation away from the active form and gives it back afterwards (so the form's
// OnActivate fires again), and the default extension of a file dialog is added by
// TOpenDialog/TSaveDialog.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/clipboard.h"
#include "platform/ui/ui_types.h"

// One modal message box. Texts are Windows-1252.
struct TMessageBoxRequest {
    std::string Text;
    std::string Caption;  // the window title
    TMsgDlgType Type = mtCustom;
    TMsgDlgButtons Buttons{mbOK};
};

class TMessageBoxService {
public:
    virtual ~TMessageBoxService() = default;
    // Shows the box and waits; the button pressed as mrOk, mrYes, mrNo, mrCancel, ...
    // (mrCancel when the box is closed without a button).
    virtual TModalResult Show(const TMessageBoxRequest& request) = 0;
};

enum TFileDialogKind { fdOpen, fdSave };

// One open or save dialog. Filter is the platform's "Description|*.ext|Description|*.x"
// list (Windows-1252); paths never go through the text codec.
struct TFileDialogRequest {
    TFileDialogKind Kind = fdOpen;
    std::string Title;
    std::string Filter;
    int FilterIndex = 1;  // from 1
    std::string DefaultExt;  // without dot, e.g. "fct"
    std::filesystem::path FileName;
    std::filesystem::path InitialDir;
};

class TFileDialogService {
public:
    virtual ~TFileDialogService() = default;
    // The chosen file, or nothing when the user cancelled.
    virtual std::optional<std::filesystem::path> Choose(const TFileDialogRequest& request) = 0;
};

class TCursorService {
public:
    virtual ~TCursorService() = default;
    // Makes the cursor the one shown over every window of the program (crDefault: each
    // window's own). An assignment: the last call wins, nothing is stacked.
    virtual void SetCursor(TCursor cursor) = 0;
};

class TScreenService {
public:
    virtual ~TScreenService() = default;
    virtual int Width() = 0;   // pixels of the primary screen
    virtual int Height() = 0;
    virtual std::vector<std::string> FontNames() = 0;  // Windows-1252, in the system's order
};

// The set of services in use. No pointer is ever null once TApplication::Initialize ran;
// the objects are owned by whoever installed them.
struct TPlatformServices {
    TMessageBoxService* MessageBoxes = nullptr;
    TFileDialogService* FileDialogs = nullptr;
    TCursorService* Cursor = nullptr;
    TScreenService* Screen = nullptr;
    IClipboard* Clipboard = nullptr;  // also made the drawing layer's ClipboardService()
};

// The Qt implementations (objects that live for the whole run).
TPlatformServices QtPlatformServices();
