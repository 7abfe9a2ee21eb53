#pragma once
// What tells the two programs apart. Both are built from the same main window, redraw
// pipeline and dialogs; the few values in which they differ (captions, colours, which
// controls exist) and the routines that one of them replaces are gathered here, one
// description per program. Start-up installs the running program's description and every
// part of the window asks it instead of testing which program it is.
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/program_variant.h"
#include "platform/graphics/color.h"

class TBitmap;
struct TSettingsTable;

struct ProgramDescription {
    ProgramKind Kind = ProgramKind::Vartelo;

    // The main window.
    std::string Caption;                      // also the title of message boxes
    std::array<std::string, 9> RowCaptions;   // "f(x)=" .. the captions of rows m and n
    std::array<TColor, 9> FunctionColours{};  // f .. n
    std::vector<std::string> MouseHelpLines;  // the help memo beside the image
    std::string NormerHint;                   // hint of "Normer" (Button2)

    // The sound controls, the "Exclusif" button and the melody page (second page).
    bool HasSound = false;
    // The menu items of the derivatives, areas and sequences dialogs.
    bool HasAnalysisMenu = false;
    // The menu item `abspi`: its caption and its check mark at start.
    std::string AbscissaItemCaption;
    bool AbscissaItemChecked = false;

    // The routines in which the programs differ. A null entry is a step that does
    // nothing in this program.
    void (*RebuildChannelSums)() = nullptr;           // the sound channels m and n
    void (*DrawFunctionCurves)(TBitmap&) = nullptr;   // the curve sampler
    // The curve sampler's walks, made ahead while the picture is filled.
    std::shared_ptr<void> (*WalkFunctionCurves)(TBitmap&, const std::function<void()>&) = nullptr;
    void (*DrawAxesAndGrid)(TBitmap&) = nullptr;      // axes, grid and graduations
    // The sound handlers (program with sound).
    void (*PlayChannels)() = nullptr;      // "Jouer" of the first page (Button5), Ctrl+A
    void (*PlayMelody)() = nullptr;        // the melody player: "Normer" and the melody page's "Jouer"
    void (*ChangeScale)() = nullptr;       // "Changement" (Button6)
    void (*ChordToFunctions)() = nullptr;  // "> Fonctions" (Button11)
    // "Normer" (Button2) and "Centrer" (Button3) of a program that binds its own; when
    // null the buttons run the main window's Button2Click and Button3Click.
    void (*Normer)() = nullptr;
    void (*Centrer)() = nullptr;
    // Whether the axes are drawn before the curves (curves over the grid) or after them.
    bool AxesUnderCurves = false;
    // Fills the program's settings table (the rows kept in the state file, the curve
    // files and the undo snapshots).
    void (*BuildSettingsRows)(TSettingsTable&) = nullptr;
};

// The description of the running program (an empty one until start-up installs one).
const ProgramDescription& ActiveProgram();
void InstallProgram(const ProgramDescription& program);
