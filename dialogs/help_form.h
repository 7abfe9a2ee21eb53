#pragma once
// The help window, Form8: the functions of the expression language, the mouse gestures
// and the program's description.
#include "platform/ui/components.h"

class TForm8 : public TForm {
public:
    explicit TForm8(TApplication& app);
};

extern TForm8* Form8;
