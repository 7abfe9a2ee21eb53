// The labels dialog, Form7: its components, captions and defaults, and its handlers.
#include "dialogs/labels_form.h"

#include <string>

#include "engine/number_conversion.h"
#include "engine/number_format.h"
#include "plotter/drawing_state.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/form_building.h"
#include "plotter/undo_snapshot.h"

TForm7* Form7 = nullptr;
bool FillingLabelDialog = false;

namespace {

constexpr int RowsTop = 28;
constexpr int TextLeft = 44;
constexpr int TextWidth = 220;
constexpr int SizeLeft = 272;
constexpr int ToolsLeft = 336;
constexpr int ToolsWidth = 200;

int RowTop(int k) { return RowsTop + form_building::RowHeight * k; }

// A size text the conversion refuses ("-", "1,2,3", "1E400") counts as 0 like any other
// text that is not a number: the labels are read at every keystroke in a label text, and a
// half-typed size must not raise there.
double SizeFromText(const std::string& text) {
    try {
        return ParseFloatOrZero(text);
    } catch (const NumberError&) {
        return 0;
    }
}

}  // namespace

TForm7::TForm7(TApplication& app) : TForm(app, "Form7") {
    // A new run of the program starts with fresh labels, whose font is the one of the list.
    ResetMovableLabels();
    FillingLabelDialog = false;
    SetLabelFontNameReader([] { return Form7 ? Form7->cpol->Text() : std::string("Arial"); });
    SetCaption("Ajouter des ettiquette mobiles");
    SetBorderStyle(bsDialog);
    SetClientSize(ToolsLeft + ToolsWidth + 8, RowTop(LabelCount) + 40);
    SetKeyPreview(true);
    BuildRows();
    BuildTools();
    BindHandlers();
}

void TForm7::BuildRows() {
    using namespace form_building;
    Label14 = AddLabel(this, "Label14", "Texte des ettiquettes", TextLeft, 4, TextWidth);
    Label15 = AddLabel(this, "Label15", "Taille  (en%)", SizeLeft - 8, 4, 90);
    TLabel** names[LabelCount] = {&Label1, &Label3, &Label4,  &Label5,  &Label6,  &Label7,
                                  &Label8, &Label9, &Label10, &Label11, &Label12, &Label13};
    TEdit** texts[LabelCount] = {&Edit1, &Edit2, &Edit3, &Edit4,  &Edit5,  &Edit6,
                                 &Edit7, &Edit8, &Edit9, &Edit10, &Edit11, &Edit12};
    TEdit** sizes[LabelCount] = {&Edit13, &Edit14, &Edit15, &Edit16, &Edit17, &Edit18,
                                 &Edit19, &Edit20, &Edit21, &Edit22, &Edit23, &Edit24};
    for (int k = 0; k < LabelCount; ++k) {
        const int top = RowTop(k);
        const std::string labelName = "Label" + std::to_string(k == 0 ? 1 : k + 2);
        *names[k] = AddLabel(this, labelName, "E." + std::to_string(k + 1), 8, top, 32);
        TEdit* text = AddEdit(this, "Edit" + std::to_string(k + 1), "", TextLeft, top, TextWidth);
        text->Font.Name = "Arial";
        text->Font.Bold = true;
        *texts[k] = text;
        *sizes[k] = AddEdit(this, "Edit" + std::to_string(13 + k), "100", SizeLeft, top, 52);
        TextEdits[size_t(k)] = text;
        SizeEdits[size_t(k)] = *sizes[k];
    }
    Button4 = AddButton(this, "Button4", "X", 8, RowTop(LabelCount) + 6, 32);
    Button2 = AddButton(this, "Button2", "Tous m\xEAme taille (celle de E1)", TextLeft, RowTop(LabelCount) + 6,
                        SizeLeft + 52 - TextLeft);
}

void TForm7::BuildTools() {
    using namespace form_building;
    Label2 = AddLabel(this, "Label2", "Police de caract\xE8re", ToolsLeft, 4, ToolsWidth);
    cpol = Add<TComboBox>("cpol");
    cpol->SetBounds(ToolsLeft, RowTop(0), ToolsWidth, EditHeight);
    cpol->SetText("Arial");
    Memo1 = Add<TMemo>("Memo1");
    Memo1->SetBounds(ToolsLeft, RowTop(1) + 4, ToolsWidth, 118);
    Memo1->Lines().Assign({">D\xE9placer les ettiquettes sur l'image ", "avec la souris", "",
                           ">Quand un texte est vide, sa position", "est r\xE9initialis\xE9" "e (en bas \xE0 gauche de ",
                           "l'image), pour le retrouver facilement.", ""});
    const int importTop = RowTop(6) + 4;
    Button1 = AddButton(this, "Button1", "Importer les fonctions", ToolsLeft, importTop, ToolsWidth);
    Edit25 = AddEdit(this, "Edit25", "(x)=", ToolsLeft, importTop + 32, 64);
    Button5 = AddButton(this, "Button5", "y=", ToolsLeft + 72, importTop + 30, 56);
    Button6 = AddButton(this, "Button6", "f(x)=", ToolsLeft + 136, importTop + 30, 64);
    cpre = AddCheckBox(this, "cpre", "prefixe", true, ToolsLeft, importTop + 60, 64);
    cnm = AddCheckBox(this, "cnm", "nom", true, ToolsLeft + 68, importTop + 60, 56);
    cfor = AddCheckBox(this, "cfor", "formule", true, ToolsLeft + 126, importTop + 60, 74);
    Button3 = AddButton(this, "Button3", "Valider", ToolsLeft, RowTop(LabelCount) + 6, ToolsWidth);
    Button3->Font.Bold = true;
}

void TForm7::BindHandlers() {
    for (TEdit* edit : TextEdits) edit->OnChange = [this](TObject* s) { Edit1Change(s); };
    cpol->OnChange = [this](TObject* s) { cpolChange(s); };
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    Button2->OnClick = [this](TObject* s) { Button2Click(s); };
    Button3->OnClick = [this](TObject* s) { Button3Click(s); };
    Button4->OnClick = [this](TObject* s) { Button4Click(s); };
    Button5->OnClick = [this](TObject* s) { Button5Click(s); };
    Button6->OnClick = [this](TObject* s) { Button6Click(s); };
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    OnKeyPress = [this](TObject* s, char& key) { FormKeyPress(s, key); };
}

// The font list holds every face installed on the system, in the system's order.
void TForm7::FormCreate(TObject*) {
    if (cpol->Items().Count() > 0) return;
    for (std::string& name : Screen->Fonts()) cpol->Items().Add(std::move(name));
}

// The dialog opens on the labels as they are, and one undo returns to the state before
// its edits.
void TForm7::FormShow(TObject*) {
    FillLabelDialog();
    SaveUndoSnapshot();
}

void TForm7::FormKeyPress(TObject*, char& Key) {
    if (Key == 27) Hide();
}

void TForm7::Edit1Change(TObject*) {
    if (!FillingLabelDialog) ReadLabelsFromDialog();
}

// The heading shows the chosen face.
void TForm7::cpolChange(TObject*) { Label2->Font.Name = cpol->Text(); }

void TForm7::Button1Click(TObject*) { ImportFunctionLabels(); }

// The size of E.1 goes to every size edit; the labels take it at the next reading.
void TForm7::Button2Click(TObject*) {
    const std::string size = Edit13->Text();
    for (int k = 1; k < LabelCount; ++k) SizeEdits[size_t(k)]->SetText(size);
}

void TForm7::Button3Click(TObject*) {
    ReadLabelsFromDialog();
    Hide();
}

void TForm7::Button4Click(TObject*) {
    for (int k = 0; k < LabelCount; ++k) {
        TextEdits[size_t(k)]->SetText("");
        SizeEdits[size_t(k)]->SetText("100");
    }
    ReadLabelsFromDialog();
}

void TForm7::Button5Click(TObject*) {
    Edit25->SetText("y=");
    cnm->SetChecked(false);
}

void TForm7::Button6Click(TObject*) {
    Edit25->SetText("(x)=");
    cnm->SetChecked(true);
}

void ReadLabelsFromDialog() {
    if (!Form7) return;
    for (int k = 0; k < LabelCount; ++k) {
        LabelTexts[size_t(k)] = Form7->TextEdits[size_t(k)]->Text();
        LabelSizes[size_t(k)] = SizeFromText(Form7->SizeEdits[size_t(k)]->Text());
    }
    // An empty label is parked at the bottom left of the window, one label height apart
    // from its neighbours, so that it is easy to find when it gets a text again. Before
    // the image has a height there is no label height: they all park on the bottom edge.
    const int imageHeight = Form1 ? Form1->im->Height() : 0;
    const double fontHeight = AxisFontHeight;
    for (int k = 0; k < LabelCount; ++k) {
        if (!LabelTexts[size_t(k)].empty()) continue;
        LabelX[size_t(k)] = WindowXMin;
        LabelY[size_t(k)] = imageHeight > 0
                                ? WindowYMin + fontHeight / imageHeight * (WindowYMax - WindowYMin) * 1.1 * (12 - k)
                                : WindowYMin;
    }
}

void FillLabelDialog() {
    if (!Form7) return;
    FillingLabelDialog = true;
    try {
        for (int k = 0; k < LabelCount; ++k) {
            Form7->TextEdits[size_t(k)]->SetText(LabelTexts[size_t(k)]);
            Form7->SizeEdits[size_t(k)]->SetText(FormatGeneral(LabelSizes[size_t(k)], GeneralDigits));
        }
    } catch (...) {
        FillingLabelDialog = false;
        throw;
    }
    FillingLabelDialog = false;
}

void ImportFunctionLabels() {
    if (!Form7) return;
    int n = 0;
    for (int i = 0; i < FunctionCount; ++i) {
        const std::string formula = GetFunctionEdit(i)->Text();
        if (formula.empty() || !IsFunctionShown(i)) continue;
        std::string text;
        if (Form7->cnm->Checked()) text += FunctionLetter(i);
        if (Form7->cpre->Checked()) text += Form7->Edit25->Text();
        if (Form7->cfor->Checked()) text += formula;
        LabelTexts[size_t(3 + n)] = text;
        ++n;
    }
    FillLabelDialog();
}
