// The main window's components: the function rows and the left panel, with their
// captions, default texts and hints, and the binding of every handler.
#include <string>

#include "engine/number_format.h"
#include "plotter/form_building.h"
#include "plotter/main_form.h"
#include "plotter/program_description.h"

TForm1* Form1 = nullptr;

using namespace form_building;

namespace {

const char* const AddOrRemoveHint = "Ajouter/Retirer <val>";
const char* const MultiplyOrDivideHint = "Multipliser diviser par <val>";
const char* const ScaleHint = "Augmenter/R\xE9" "duire l'\xE9" "chelle des ordonn\xE9" "es (Centre de l'image fixe)";

}  // namespace

TForm1::TForm1(TApplication& app) : TForm(app, "Form1") {
    const ProgramDescription& program = ActiveProgram();
    SetCaption(program.Caption);
    SetBounds(0, 0, 1149, 853);
    SetKeyPreview(true);

    BuildMenu();

    TWinControl* page = this;
    if (program.HasSound) {
        pc = Add<TPageControl>("pc");
        pc->SetAlign(alClient);
        TabSheet1 = pc->Add<TTabSheet>("TabSheet1");
        TabSheet1->SetCaption("Fonction de son");
        TabSheet2 = pc->Add<TTabSheet>("TabSheet2");
        TabSheet2->SetCaption("Construction d'une suite d'harmonie");
        pc->SetActivePageIndex(0);
        page = TabSheet1;
    }

    auto* panel = page->Add<TPanel>("Panel1");
    panel->SetAlign(alLeft);
    panel->SetWidth(PanelWidth);
    BuildFunctionRows(panel);
    BuildLeftPanel(panel, page);
    if (program.HasSound) {
        BuildSoundControls(panel, Memo2->Top() + Memo2->Height() + 4);
        BuildMelodyPage(TabSheet2);
    }

    BindHandlers();
    SetWindowState(wsMaximized);
}

void TForm1::BuildFunctionRows(TWinControl* parent) {
    const ProgramDescription& program = ActiveProgram();
    static const char* const letters = "fghijklmn";
    for (int i = 0; i < 9; ++i) {
        const int top = 4 + i * RowHeight;
        const std::string number = FormatGeneral(i + 1, GeneralDigits);
        FunctionLabels[size_t(i)] = AddLabel(parent, "Label" + number, program.RowCaptions[size_t(i)], 4, top - 3, 80);
        FunctionLabels[size_t(i)]->SetTransparent(false);
        FunctionEdits[size_t(i)] = AddEdit(parent, "Edit" + number, "", 86, top, 222);
        auto* button = parent->Add<TSpeedButton>("sd" + number);
        button->SetBounds(310, top, 24, EditHeight);
        button->SetGroupIndex(i + 1);  // a group of its own: a click toggles it
        button->SetAllowAllUp(true);
        button->SetDown(i != 8);
        button->SetCaption(std::string(1, letters[i]));
        button->SetHint(std::string("Afficher/Cacher la fonction ") + letters[i]);
        ShowButtons[size_t(i)] = button;
    }
    Label1 = FunctionLabels[0]; Label2 = FunctionLabels[1]; Label3 = FunctionLabels[2];
    Label4 = FunctionLabels[3]; Label5 = FunctionLabels[4]; Label6 = FunctionLabels[5];
    Label7 = FunctionLabels[6]; Label8 = FunctionLabels[7]; Label9 = FunctionLabels[8];
    Edit1 = FunctionEdits[0]; Edit2 = FunctionEdits[1]; Edit3 = FunctionEdits[2];
    Edit4 = FunctionEdits[3]; Edit5 = FunctionEdits[4]; Edit6 = FunctionEdits[5];
    Edit7 = FunctionEdits[6]; Edit8 = FunctionEdits[7]; Edit9 = FunctionEdits[8];
    sd1 = ShowButtons[0]; sd2 = ShowButtons[1]; sd3 = ShowButtons[2];
    sd4 = ShowButtons[3]; sd5 = ShowButtons[4]; sd6 = ShowButtons[5];
    sd7 = ShowButtons[6]; sd8 = ShowButtons[7]; sd9 = ShowButtons[8];

    const int top = 4 + 9 * RowHeight;
    if (program.HasSound) {
        exc = parent->Add<TSpeedButton>("exc");
        exc->SetBounds(86, top, 80, EditHeight);
        exc->SetCaption("Exclusif");
        exc->SetGroupIndex(10);
        exc->SetAllowAllUp(true);
    }
    BitBtn1 = parent->Add<TBitBtn>("BitBtn1");
    BitBtn1->SetCaption("X");
    BitBtn1->SetBounds(310, top, 24, EditHeight);
    BitBtn1->SetHint("Supprimer toutes les fonctions !");
}

void TForm1::BuildLeftPanel(TWinControl* parent, TWinControl* imageParent) {
    const ProgramDescription& program = ActiveProgram();
    int top = 8 + 10 * RowHeight;

    AddLabel(parent, "LabelXDeb", "x.deb=", 4, top, 44);
    Edit10 = AddEdit(parent, "Edit10", "-5", 50, top, 90);
    AddLabel(parent, "LabelXFin", "x.fin=", 148, top, 40);
    Edit11 = AddEdit(parent, "Edit11", "5", 190, top, 90);
    UpDown8 = AddUpDown(parent, "UpDown8", ScaleHint, 288, top, udHorizontal);
    top += RowHeight;
    AddLabel(parent, "LabelYDeb", "y.deb=", 4, top, 44);
    Edit12 = AddEdit(parent, "Edit12", "-5", 50, top, 90);
    AddLabel(parent, "LabelYFin", "y.fin=", 148, top, 40);
    Edit13 = AddEdit(parent, "Edit13", "5", 190, top, 90);
    UpDown5 = AddUpDown(parent, "UpDown5", ScaleHint, 288, top);
    top += RowHeight + 6;

    auto* parameters = parent->Add<TGroupBox>("GroupBoxParameters");
    parameters->SetCaption("Param\xE8tres mobiles");
    parameters->SetBounds(4, top, 330, 98);
    AddLabel(parameters, "LabelA", "a=", 8, 18, 20);
    Edit15 = AddEdit(parameters, "Edit15", "0", 30, 18, 150);
    UpDown1 = AddUpDown(parameters, "UpDown1", AddOrRemoveHint, 184, 18);
    UpDown2 = AddUpDown(parameters, "UpDown2", MultiplyOrDivideHint, 204, 18);
    AddLabel(parameters, "LabelB", "b=", 8, 44, 20);
    Edit16 = AddEdit(parameters, "Edit16", "0", 30, 44, 150);
    UpDown3 = AddUpDown(parameters, "UpDown3", AddOrRemoveHint, 184, 44);
    UpDown4 = AddUpDown(parameters, "UpDown4", MultiplyOrDivideHint, 204, 44);
    AddLabel(parameters, "LabelVal", "val ", 8, 70, 28);
    Edit18 = AddEdit(parameters, "Edit18", "2", 38, 70, 80);
    Edit18->SetHint("Valeur de base servant \xE0 manipuler les param\xE8tres a et b");
    top += 104;

    AddLabel(parent, "LabelThickness", "Epaisseur courbes", 4, top, 112);
    Edit14 = AddEdit(parent, "Edit14", "3", 118, top, 40);
    UpDown6 = AddUpDown(parent, "UpDown6", "", 158, top);
    UpDown6->SetMin(1);
    UpDown6->SetMax(20);
    UpDown6->SetPosition(3);
    UpDown6->SetAssociate(Edit14);
    AddLabel(parent, "LabelFont", "Police", 190, top, 40);
    Edit19 = AddEdit(parent, "Edit19", "100", 232, top, 50);
    UpDown7 = AddUpDown(parent, "UpDown7", "", 282, top);
    UpDown7->SetMin(1);
    UpDown7->SetMax(1000);
    UpDown7->SetIncrement(5);
    UpDown7->SetPosition(100);
    UpDown7->SetAssociate(Edit19);
    top += RowHeight + 2;

    AddLabel(parent, "LabelExportWidth", "Largeur d'image", 4, top, 100);
    Edit17 = AddEdit(parent, "Edit17", "800", 106, top, 60);
    Button4 = AddButton(parent, "Button4", "Id.", 170, top - 2, 34);
    AddLabel(parent, "LabelExportQuality", "(qualit\xE9 de l'export)", 208, top, 126);
    top += RowHeight + 4;

    quad = AddCheckBox(parent, "quad", "Quadrillage", false, 4, top);
    axe = AddCheckBox(parent, "axe", "Afficher les Axes", true, 168, top);
    top += RowHeight;
    ceffa = AddCheckBox(parent, "ceffa", "Figer les images", false, 4, top);
    cnb = AddCheckBox(parent, "cnb", "Noir et blanc", false, 168, top);
    top += RowHeight + 4;

    Button1 = AddButton(parent, "Button1", "Trace", 4, top, 100);
    Button2 = AddButton(parent, "Button2", "Normer", 116, top, 100);
    Button2->SetHint(program.NormerHint);
    Button3 = AddButton(parent, "Button3", "Centrer", 228, top, 100);
    top += RowHeight + 8;

    if (program.HasSound) {
        AddLabel(parent, "LabelZoom", "Centrer sur zoom", 4, top, 110);
        Edit20 = AddEdit(parent, "Edit20", "1", 116, top, 80);
        UpDown9 = AddUpDown(parent, "UpDown9", AddOrRemoveHint, 198, top);
        UpDown10 = AddUpDown(parent, "UpDown10", MultiplyOrDivideHint, 218, top);
        top += RowHeight + 4;
    }

    Label22 = AddLabel(parent, "Label22", "", 4, top - 2, 330);
    top += 18;

    Memo2 = parent->Add<TMemo>("Memo2");
    Memo2->SetBounds(4, top, 330, 14 * int(program.MouseHelpLines.size()) + 6);
    Memo2->SetBorderStyle(bsNone);
    Memo2->SetReadOnly(true);
    Memo2->SetColor(clBtnFace);
    Memo2->Lines().Assign(program.MouseHelpLines);

    im = imageParent->Add<TImage>("im");
    im->SetAlign(alClient);
}

void TForm1::BindHandlers() {
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnResize = [this](TObject* s) { FormResize(s); };
    OnCloseQuery = [this](TObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };
    OnKeyUp = [this](TObject* s, std::uint16_t& key, TShiftState shift) { FormKeyUp(s, key, shift); };

    for (TEdit* edit : FunctionEdits) {
        edit->OnChange = [this](TObject* s) { Edit1Change(s); };
        edit->OnKeyPress = [this](TObject* s, char& key) { Edit1KeyPress(s, key); };
    }
    for (int i = 0; i < 8; ++i) ShowButtons[size_t(i)]->OnClick = [this](TObject* s) { sd1Click(s); };
    if (exc) {
        exc->OnClick = [this](TObject* s) { sd1Click(s); };
        sd9->OnClick = [this](TObject* s) { sd9Click(s); };
    } else {
        sd9->OnClick = [this](TObject* s) { sd1Click(s); };
    }
    BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };

    for (TEdit* edit : {Edit10, Edit11, Edit12, Edit13}) {
        edit->OnClick = [this](TObject* s) { Edit10Click(s); };
        edit->OnKeyPress = [this](TObject* s, char& key) { Edit10KeyPress(s, key); };
    }
    for (TEdit* edit : {Edit14, Edit15, Edit16, Edit17, Edit19})
        edit->OnClick = [this](TObject* s) { Edit10Click(s); };
    for (TCheckBox* box : {quad, axe, ceffa, cnb}) box->OnClick = [this](TObject* s) { Edit10Click(s); };

    UpDown1->OnClick = [this](TObject* s, TUDBtnType b) { UpDown1Click(s, b); };
    UpDown2->OnClick = [this](TObject* s, TUDBtnType b) { UpDown2Click(s, b); };
    UpDown3->OnClick = [this](TObject* s, TUDBtnType b) { UpDown3Click(s, b); };
    UpDown4->OnClick = [this](TObject* s, TUDBtnType b) { UpDown4Click(s, b); };
    UpDown5->OnClick = [this](TObject* s, TUDBtnType b) { UpDown5Click(s, b); };
    UpDown6->OnClick = [this](TObject* s, TUDBtnType b) { UpDown6Click(s, b); };
    UpDown7->OnClick = [this](TObject* s, TUDBtnType b) { UpDown6Click(s, b); };
    UpDown8->OnClick = [this](TObject* s, TUDBtnType b) { UpDown8Click(s, b); };

    // "Trace" only redraws, in both programs: the melody page's scale change belongs to
    // "Changement" alone, so a resize or a redraw never rewrites the note grid.
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    if (ActiveProgram().Normer)
        Button2->OnClick = [](TObject*) { ActiveProgram().Normer(); };
    else
        Button2->OnClick = [this](TObject* s) { Button2Click(s); };
    if (ActiveProgram().Centrer)
        Button3->OnClick = [](TObject*) { ActiveProgram().Centrer(); };
    else
        Button3->OnClick = [this](TObject* s) { Button3Click(s); };
    Button4->OnClick = [this](TObject* s) { Button4Click(s); };

    im->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { imMouseDown(s, b, sh, x, y); };
    im->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { imMouseMove(s, sh, x, y); };
    im->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { imMouseUp(s, b, sh, x, y); };

    if (ActiveProgram().HasSound) BindSoundHandlers();
}
