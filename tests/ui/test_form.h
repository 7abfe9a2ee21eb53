#pragma once
// A form with one component of each kind whose handlers write to an event log.
#include <string>
#include <vector>

#include "tests/support/ui_harness.h"

namespace uitest {

class TTestForm : public TForm {
public:
    explicit TTestForm(TApplication& app);

    TPanel* Panel1;
    TEdit* Edit1;
    TEdit* Edit2;
    TLabel* Label1;
    TButton* Button1;
    TCheckBox* CheckBox1;
    TRadioButton* Radio1;
    TRadioButton* Radio2;
    TRadioButton* Radio3;  // on another parent
    TGroupBox* Group1;
    TSpeedButton* Show1;   // own group, all up allowed
    TSpeedButton* Tool1;   // group 0
    TSpeedButton* ModeA;   // group 5, exclusive
    TSpeedButton* ModeB;
    TUpDown* UpDown1;      // with Edit2, 1..20
    TComboBox* Combo1;
    TMemo* Memo1;
    TStringGrid* Grid1;
    TImage* Image1;
    TMainMenu* Menu1;
    TMenuItem* File1;
    TMenuItem* Copy1;      // Ctrl+D
    TMenuItem* Undo1;      // Ctrl+Z, no handler
    TMenuItem* Legend1;
    TMenuItem* Disabled1;
    TPageControl* Pages1;
    TTabSheet* Page1;
    TTabSheet* Page2;
    TOpenDialog* Open1;
    TSaveDialog* Save1;

    std::vector<std::string> log;
    std::string createdWithText;  // Edit1's text as OnCreate saw it
    std::string Log() const;      // the log joined by spaces
    void ClearLog() { log.clear(); }
};

std::string Joined(const std::vector<std::string>& items);

// Tests on the test form, created, shown and with its log cleared.
class ShownFormTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Application->CreateForm(form);
        form->Show();
        form->ClearLog();
    }
    TTestForm* form = nullptr;
};

}  // namespace uitest
