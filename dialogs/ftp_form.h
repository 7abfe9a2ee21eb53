#pragma once
// The FTP sending dialog, Form4: the server, the account and the name under which the
// current drawing is sent.
#include "platform/ui/components.h"

class TForm4 : public TForm {
public:
    explicit TForm4(TApplication& app);
};

extern TForm4* Form4;
