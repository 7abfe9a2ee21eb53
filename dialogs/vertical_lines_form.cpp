#include "dialogs/vertical_lines_form.h"

#include <string>

#include "engine/number_conversion.h"
#include "plotter/drawing_state.h"
#include "plotter/form_building.h"
#include "plotter/pixel_mapping.h"

TForm9* Form9 = nullptr;

TForm9::TForm9(TApplication& app) : TForm(app, "Form9") {
    using namespace form_building;
    SetCaption("Droites verticales");
    SetBorderStyle(bsToolWindow);
    SetBounds(0, 0, 240, 270);
    Label1 = AddLabel(this, "Label1", "Droites verticales \xE0 afficher", 12, 8, 200);
    TCheckBox** boxes[6] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5, &CheckBox6};
    TEdit** edits[6] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6};
    for (int k = 0; k < VerticalLineCount; ++k) {
        const int top = 36 + 28 * k;
        TCheckBox* box = AddCheckBox(this, "CheckBox" + std::to_string(k + 1), "x=", false, 16, top + 1, 44);
        TEdit* edit = AddEdit(this, "Edit" + std::to_string(k + 1), "0", 64, top, 140);
        edit->OnKeyPress = [this](TObject* s, char& key) { Edit1KeyPress(s, key); };
        *boxes[k] = box;
        *edits[k] = edit;
        LineBoxes[size_t(k)] = box;
        LineEdits[size_t(k)] = edit;
    }
    Button1 = AddButton(this, "Button1", "Valider", 72, 36 + 28 * VerticalLineCount + 4, 90);
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
}

// Enter in an abscissa closes the dialog; the main window redraws when it is active again.
void TForm9::Edit1KeyPress(TObject*, char& Key) {
    if (Key == '\r') Hide();
}

void TForm9::Button1Click(TObject*) { Hide(); }

bool IsVerticalLineChecked(int k) { return Form9->LineBoxes.at(size_t(k))->Checked(); }

double GetVerticalLineX(int k) {
    // Texts the conversion refuses ("-", "1,2,3", "1E400") read as 0 like any other text
    // that is not a number: a bad abscissa must not end the redraw.
    try {
        return ParseFloatOrZero(Form9->LineEdits.at(size_t(k))->Text());
    } catch (const NumberError&) {
        return 0;
    }
}

void DrawVerticalLines(TBitmap& bitmap) {
    // A window without width has no column for any abscissa.
    if (WindowXMax == WindowXMin) return;
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    TCanvas& canvas = bitmap.Canvas();
    for (int k = 0; k < VerticalLineCount; ++k) {
        if (!IsVerticalLineChecked(k)) continue;
        const double c = GetVerticalLineX(k);
        canvas.Pen.Color = BlackAndWhite ? clBlack : VerticalLineColour;
        canvas.Pen.Width = LineThickness;
        const int x = PixelColumn(c, width);
        canvas.MoveTo(x, 0);
        canvas.LineTo(x, height);
    }
}
