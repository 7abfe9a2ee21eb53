// Vartelo: the curve plotter with sound. Rows m and n are the two sound channels, the
// first page holds the sound controls and the second the melody page; the abscissae can
// be graduated in seconds (1 s = 2*pi).
#include "sound/vartelo_program.h"

#include "plotter/axes.h"
#include "plotter/curve_sampler.h"
#include "plotter/program_description.h"
#include "settings/program_settings_rows.h"
#include "sound/channel_player.h"
#include "sound/channel_sums.h"
#include "sound/melody.h"
#include "sound/melody_commands.h"

namespace {

ProgramDescription MakeVartelo() {
    ProgramDescription p;
    p.Kind = ProgramKind::Vartelo;
    p.Caption = "Vartelo";
    p.RowCaptions = {"f(x)=", "g(x)=", "h(x)=", "i(x)=", "j(x)=", "k(x)=", "l(x)=", ".", "Somme (x)="};
    p.FunctionColours = {0xFF752C, 0x276DA6, 0x239D3A, 0xD266B6, 0xA0A01E,
                         0x180096, 0x7A909D, 0x464EDC, 0x34A2E7};
    p.MouseHelpLines = {"Action souris sur l'image :",
                        "- Glisser-deplacer gauche : recadrer",
                        "- Glisser-deplacer droit : deplacer",
                        "- Click gauche : rafra\xEE" "chir",
                        "- Click droit : \xE9largir",
                        "- CTRL+A : jouer"};
    p.HasSound = true;
    p.HasAnalysisMenu = false;
    p.AbscissaItemCaption = "Abscisses en secondes (1s=2*pi)";
    p.AbscissaItemChecked = true;
    p.DrawFunctionCurves = DrawFunctionCurves;
    p.WalkFunctionCurves = WalkFunctionCurves;
    p.DrawAxesAndGrid = DrawAxesAndGrid;
    p.AxesUnderCurves = false;
    p.RebuildChannelSums = RebuildChannelSums;
    p.PlayChannels = PlayChannels;
    p.PlayMelody = PlayMelody;
    p.ChangeScale = ChangeScale;
    p.ChordToFunctions = ChordToFunctions;
    p.BuildSettingsRows = BuildVarteloSettingsRows;
    return p;
}

}  // namespace

const ProgramDescription& VarteloProgram() {
    static const ProgramDescription program = MakeVartelo();
    return program;
}
