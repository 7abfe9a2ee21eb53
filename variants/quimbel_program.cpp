// Quimbel: the curve editor. No sound controls and no melody page; rows m and n are two
// more functions, with the colours of m and n swapped; the menu opens the derivatives,
// areas and sequences dialogs; the abscissae can be graduated in multiples of pi; the
// axes are drawn under the curves.
#include "variants/quimbel_program.h"

#include "variants/quimbel_commands.h"
#include "variants/quimbel_drawing.h"
#include "variants/quimbel_settings.h"

namespace {

ProgramDescription MakeQuimbel() {
    ProgramDescription p;
    p.Kind = ProgramKind::Quimbel;
    p.Caption = "Quimbel";
    p.RowCaptions = {"f(x)=", "g(x)=", "h(x)=", "i(x)=", "j(x)=", "k(x)=", "l(x)=", "m(x)=", "n(x)="};
    p.FunctionColours = {0xFF752C, 0x276DA6, 0x239D3A, 0xD266B6, 0xA0A01E,
                         0x180096, 0x7A909D, 0x34A2E7, 0x464EDC};
    p.MouseHelpLines = {"Action souris sur l'image :",
                        "- Glisser-deplacer gauche : recadrer",
                        "- Glisser-deplacer droit : deplacer",
                        "- Click gauche : rafra\xEE" "chir",
                        "- Click droit : \xE9largir"};
    p.NormerHint = "Ajuster l'echelles des ordonn\xE9" "es pour la rendre conforme aux abscisse (centre de l'image fixe)";
    p.HasSound = false;
    p.HasAnalysisMenu = true;
    p.AbscissaItemCaption = "Abscisses en multiple de pi";
    p.AbscissaItemChecked = false;
    p.DrawFunctionCurves = quimbel::DrawFunctionCurves;
    p.DrawAxesAndGrid = quimbel::DrawAxesAndGrid;
    p.AxesUnderCurves = true;
    p.BuildSettingsRows = BuildQuimbelSettingsRows;
    p.Normer = quimbel::ScaleOrdinatesToAbscissae;
    p.Centrer = quimbel::CentreOnOrigin;
    return p;
}

}  // namespace

const ProgramDescription& QuimbelProgram() {
    static const ProgramDescription program = MakeQuimbel();
    return program;
}
