#include "dialogs/help_form.h"

#include <cmath>
#include <numbers>

TForm8* Form8 = nullptr;

namespace {

// One read-only memo filling its page.
TMemo* AddPageMemo(TTabSheet* page, const std::string& name, std::vector<std::string> lines) {
    auto* memo = page->Add<TMemo>(name);
    memo->SetAlign(alClient);
    memo->SetReadOnly(true);
    memo->Lines().Assign(std::move(lines));
    return memo;
}

}  // namespace

TForm8::TForm8(TApplication& app) : TForm(app, "Form8") {
    SetCaption("Aide");
    SetBounds(0, 0, 520, 480);
    // Esc closes the window, whichever page or memo has the keyboard.
    SetKeyPreview(true);
    OnKeyPress = [this](TObject*, char& key) {
        if (key != 27) return;
        key = 0;
        Hide();
    };

    PageControl1 = Add<TPageControl>("PageControl1");
    PageControl1->SetAlign(alClient);

    TabSheet1 = PageControl1->Add<TTabSheet>("TabSheet1");
    TabSheet1->SetCaption("Fonctions disponibles");
    // The program is chosen before the windows are created: the list is that of the
    // compiler of the running program.
    Memo1 = AddPageMemo(TabSheet1, "Memo1", HelpFunctionLines(CurrentProgram()));

    TabSheet2 = PageControl1->Add<TTabSheet>("TabSheet2");
    TabSheet2->SetCaption("Manipulation souris");
    Memo2 = AddPageMemo(TabSheet2, "Memo2",
                        {"Action souris sur l'image :",
                         "- Glisser-deplacer gauche : recadrer",
                         "- Glisser-deplacer droit : deplacer",
                         "- Click gauche : rafraichir",
                         "- Click droit : \xE9largir",
                         "",
                         "D\xE9placement des ettiquette en glisser-",
                         "  deplacer droite ou gauche"});

    TabSheet3 = PageControl1->Add<TTabSheet>("TabSheet3");
    TabSheet3->SetCaption("A propos");
    Label1 = TabSheet3->Add<TLabel>("Label1");
    Label1->Font.Name = "Arial";
    Label1->Font.Bold = true;
    Label1->Font.SetSize(14);
    Label1->SetCaption("Quimbel");
    Label1->SetLeft(16);
    Label1->SetTop(12);
    Image1 = TabSheet3->Add<TImage>("Image1");
    Image1->SetBounds(16, 48, 160, 120);
    DrawHelpPicture(Image1->Bitmap());
    Memo3 = TabSheet3->Add<TMemo>("Memo3");
    Memo3->SetBounds(192, 48, 290, 120);
    Memo3->SetReadOnly(true);
    Memo3->Lines().Assign({"Editieur de courbes fonctionnelles",
                           "Description;",
                           "Pour construire des graphiques soign\xE9s",
                           "Pour produire des animations fonctionnelles."});
    PageControl1->SetActivePageIndex(0);
}

std::vector<std::string> HelpFunctionLines(ProgramKind program) {
    std::vector<std::string> lines = {
        "Op\xE9rateurs :",
        "  x+y   x-y   x*y   x/y   x^y   -x",
        "  x\xB2 s'\xE9" "crit aussi x^2",
        "  2x, 2a, 3(x+1), xa, (x+1)(x-1) : multiplications sous-entendues",
        "  Un signe ne suit pas un op\xE9rateur : \xE9" "crire 2*(-3) et 2^(-1)",
        "",
        "Variables : x, et les param\xE8tres a et b",
        "",
        "Fonctions (en majuscules ou en minuscules) :",
        "  sin(x), sinus(x) : sinus",
        "  cos(x), cosinus(x) : cosinus",
        "  tan(x), tangente(x) : tangente",
        "  exp(x) : exponentielle",
        "  ln(x) : logarithme n\xE9p\xE9rien",
        "  log(x) : logarithme d\xE9" "cimal",
        "  racine(x), rac(x), sqrt(x) : racine carr\xE9" "e",
        "  carre(x), car(x), sqr(x) : carr\xE9",
        "  abs(x), absolu(x) : valeur absolue",
        "  sinh(x), cosh(x), tanh(x) : sinus, cosinus et tangente hyperboliques",
        "  arccos(x), acos(x), arcos(x) : arc cosinus",
        "  arcsin(x), asin(x) : arc sinus",
        "  arctan(x), atan(x) : arc tangente",
        "  ent(x), entier(x) : partie enti\xE8re",
        "  int(x), integer(x) : partie enti\xE8re vers z\xE9ro",
        "  frac(x), decimale(x), fraction(x) : partie d\xE9" "cimale",
        "  has(x), hasard(x) : nombre au hasard entre 0 et x",
        "  u(x) : \xE9" "chelon, 1 si x >= 0 et 0 sinon",
        "  max(x;a), maximum(x;a) : le plus grand des deux",
        "  min(x;a), minimum(x;a) : le plus petit des deux",
    };
    // The waveforms exist only in the program with sound.
    if (program == ProgramKind::Vartelo) {
        lines.insert(lines.end(), {
                                      "  Signaux de p\xE9riode 2pi, entre -1 et 1 :",
                                      "  cre(x) : carr\xE9",
                                      "  sci(x) : dents de scie",
                                      "  tri(x) : triangle",
                                      "  pal(x) : rampe, palier, rampe",
                                  });
    }
    lines.insert(lines.end(), {
                                  "",
                                  "Constantes : pi, e, ln2, ln3, rac2",
                                  "",
                                  "Nombres : 2.5 ou 2,5 (sans exposant : 1E5 n'est pas lu)",
                              });
    return lines;
}

void DrawHelpPicture(TBitmap& bitmap) {
    constexpr int width = 160;
    constexpr int height = 120;
    bitmap.SetSize(width, height);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush.Color = clWhite;
    canvas.Brush.Style = bsSolid;
    canvas.FillRect(TRect{0, 0, width, height});

    // Axes through the middle; x runs over -2pi .. 2pi, y over -1.5 .. 1.5.
    const int midX = width / 2;
    const int midY = height / 2;
    canvas.Pen.Color = clGray;
    canvas.Pen.Width = 1;
    canvas.MoveTo(0, midY);
    canvas.LineTo(width, midY);
    canvas.MoveTo(midX, 0);
    canvas.LineTo(midX, height);

    const double xScale = 2 * std::numbers::pi / midX;
    const double yScale = midY / 1.5;
    auto plot = [&](TColor colour, auto function) {
        canvas.Pen.Color = colour;
        canvas.Pen.Width = 2;
        for (int column = 0; column < width; ++column) {
            const double x = (column - midX) * xScale;
            const int row = midY - int(std::lround(function(x) * yScale));
            if (column == 0)
                canvas.MoveTo(column, row);
            else
                canvas.LineTo(column, row);
        }
    };
    plot(clRed, [](double x) { return std::sin(x); });
    plot(clBlue, [](double x) { return x * x / 12 - 1; });
    plot(clGreen, [](double x) { return std::cos(2 * x) / 2; });
}
