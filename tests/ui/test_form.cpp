// The test form: every handler records "<component>.<event>" (with details) in the log.
#include "tests/ui/test_form.h"

namespace uitest {

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items) {
        if (!text.empty()) text += ' ';
        text += item;
    }
    return text;
}

std::string TTestForm::Log() const { return Joined(log); }

TTestForm::TTestForm(TApplication& app) : TForm(app, "TestForm") {
    SetCaption("Essai");
    SetBounds(0, 0, 640, 480);
    Menu1 = Add<TMainMenu>("Menu1");
    File1 = Menu1->Items().Add("File1", "Fichier");
    Copy1 = File1->Add("Copy1", "Copier");
    Copy1->SetShortCut(ShortCut('D', TShiftState{ssCtrl}));
    Undo1 = File1->Add("Undo1", "Annuler");
    Undo1->SetShortCut(ShortCut('Z', TShiftState{ssCtrl}));
    File1->AddSeparator();
    Legend1 = File1->Add("Legend1", "L\xE9gende");
    Disabled1 = File1->Add("Disabled1", "Inactif");
    Disabled1->SetEnabled(false);

    Panel1 = Add<TPanel>("Panel1");
    Panel1->SetWidth(200);
    Panel1->SetAlign(alLeft);
    Edit1 = Panel1->Add<TEdit>("Edit1");
    Edit1->SetBounds(8, 8, 120, 21);
    Edit1->SetText("initial");
    Edit2 = Panel1->Add<TEdit>("Edit2");
    Edit2->SetBounds(8, 36, 60, 21);
    UpDown1 = Panel1->Add<TUpDown>("UpDown1");
    UpDown1->SetBounds(68, 36, 17, 21);
    UpDown1->SetMin(1);
    UpDown1->SetMax(20);
    UpDown1->SetPosition(3);
    UpDown1->SetAssociate(Edit2);
    Label1 = Panel1->Add<TLabel>("Label1");
    Label1->SetBounds(8, 64, 60, 13);
    Label1->SetCaption("f(x)=");
    Button1 = Panel1->Add<TButton>("Button1");
    Button1->SetBounds(8, 84, 75, 25);
    Button1->SetCaption("Trace");
    CheckBox1 = Panel1->Add<TCheckBox>("CheckBox1");
    CheckBox1->SetBounds(8, 114, 120, 17);
    CheckBox1->SetCaption("Quadrillage");
    Radio1 = Panel1->Add<TRadioButton>("Radio1");
    Radio1->SetBounds(8, 134, 120, 17);
    Radio2 = Panel1->Add<TRadioButton>("Radio2");
    Radio2->SetBounds(8, 154, 120, 17);
    Group1 = Panel1->Add<TGroupBox>("Group1");
    Group1->SetBounds(8, 174, 180, 60);
    Radio3 = Group1->Add<TRadioButton>("Radio3");
    Radio3->SetBounds(8, 20, 120, 17);
    Show1 = Panel1->Add<TSpeedButton>("Show1");
    Show1->SetBounds(8, 240, 23, 22);
    Show1->SetGroupIndex(1);
    Show1->SetAllowAllUp(true);
    Tool1 = Panel1->Add<TSpeedButton>("Tool1");
    Tool1->SetBounds(34, 240, 23, 22);
    ModeA = Panel1->Add<TSpeedButton>("ModeA");
    ModeA->SetBounds(60, 240, 23, 22);
    ModeA->SetGroupIndex(5);
    ModeB = Panel1->Add<TSpeedButton>("ModeB");
    ModeB->SetBounds(86, 240, 23, 22);
    ModeB->SetGroupIndex(5);
    Combo1 = Panel1->Add<TComboBox>("Combo1");
    Combo1->SetBounds(8, 268, 60, 21);
    for (const char* letter : {"f", "g", "h"}) Combo1->Items().Add(letter);
    Combo1->SetText("f");
    Memo1 = Panel1->Add<TMemo>("Memo1");
    Memo1->SetBounds(8, 294, 180, 60);

    Pages1 = Add<TPageControl>("Pages1");
    Pages1->SetAlign(alClient);
    Page1 = Pages1->Add<TTabSheet>("Page1");
    Page1->SetCaption("Fonction");
    Page2 = Pages1->Add<TTabSheet>("Page2");
    Page2->SetCaption("Harmonie");
    Image1 = Page1->Add<TImage>("Image1");
    Image1->SetAlign(alClient);
    Grid1 = Page2->Add<TStringGrid>("Grid1");
    Grid1->SetAlign(alClient);
    Grid1->SetEditing(true);

    Open1 = Add<TOpenDialog>("Open1");
    Save1 = Add<TSaveDialog>("Save1");

    auto note = [this](const char* what) { return [this, what](TObject*) { log.push_back(what); }; };
    OnCreate = [this](TObject*) {
        createdWithText = Edit1->Text();
        log.push_back("Form.Create");
    };
    OnShow = note("Form.Show");
    OnHide = note("Form.Hide");
    OnActivate = note("Form.Activate");
    OnDeactivate = note("Form.Deactivate");
    OnResize = [this](TObject*) { log.push_back("Form.Resize:" + std::to_string(Width()) + "x" + std::to_string(Height())); };
    OnDestroy = note("Form.Destroy");
    Edit1->OnChange = [this](TObject*) { log.push_back("Edit1.Change:" + Edit1->Text()); };
    Edit1->OnClick = note("Edit1.Click");
    Edit2->OnChange = [this](TObject*) { log.push_back("Edit2.Change:" + Edit2->Text()); };
    Button1->OnClick = note("Button1.Click");
    CheckBox1->OnClick = [this](TObject*) { log.push_back(std::string("CheckBox1.Click:") + (CheckBox1->Checked() ? "1" : "0")); };
    Radio1->OnClick = note("Radio1.Click");
    Radio2->OnClick = note("Radio2.Click");
    Radio3->OnClick = note("Radio3.Click");
    for (TSpeedButton* b : {Show1, Tool1, ModeA, ModeB})
        b->OnClick = [this, b](TObject*) { log.push_back(b->Name() + ".Click:" + (b->Down() ? "down" : "up")); };
    UpDown1->OnClick = [this](TObject*, TUDBtnType button) {
        log.push_back(std::string("UpDown1.Click:") + (button == btNext ? "next" : "prev") + ":" +
                      std::to_string(UpDown1->Position()));
    };
    Combo1->OnChange = [this](TObject*) {
        log.push_back("Combo1.Change:" + Combo1->Text() + ":" + std::to_string(Combo1->ItemIndex()));
    };
    Memo1->OnChange = note("Memo1.Change");
    Copy1->OnClick = note("Copy1.Click");
    Legend1->OnClick = [this](TObject*) { log.push_back(std::string("Legend1.Click:") + (Legend1->Checked() ? "1" : "0")); };
    Disabled1->OnClick = note("Disabled1.Click");
    Pages1->OnChange = [this](TObject*) { log.push_back("Pages1.Change:" + std::to_string(Pages1->ActivePageIndex())); };
    Grid1->OnSetEditText = [this](TObject*, int c, int r, const std::string& v) {
        log.push_back("Grid1.SetEditText:" + std::to_string(c) + "," + std::to_string(r) + ":" + v);
    };
}

}  // namespace uitest
