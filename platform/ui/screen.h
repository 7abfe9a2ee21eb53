#pragma once
// TScreen: the screen's size, the mouse cursor and the installed fonts, through the
// platform services. One instance, reached through the global Screen.
#include <string>
#include <vector>

#include "platform/ui/ui_types.h"

class TForm;

class TScreen {
public:
    int Width() const;
    int Height() const;

    // The cursor over every window of the program: an assignment, not a stack.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);

    std::vector<std::string> Fonts() const;
    TForm* ActiveForm() const;

private:
    TCursor cursor_ = crDefault;
};

extern TScreen* const Screen;
