// TScreen: screen size, cursor and fonts through the platform services.
#include "platform/ui/screen.h"

#include "platform/ui/application.h"

namespace {
TScreen g_screen;
}  // namespace

TScreen* const Screen = &g_screen;

int TScreen::Width() const {
    Application->Initialize();
    return Application->Services().Screen->Width();
}

int TScreen::Height() const {
    Application->Initialize();
    return Application->Services().Screen->Height();
}

void TScreen::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    Application->Initialize();
    Application->Services().Cursor->SetCursor(cursor);
}

std::vector<std::string> TScreen::Fonts() const {
    Application->Initialize();
    return Application->Services().Screen->FontNames();
}

TForm* TScreen::ActiveForm() const { return Application->ActiveForm(); }
