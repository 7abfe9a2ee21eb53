#pragma once
// The main window, Form1: the nine function rows, the left panel of window, parameter and
// display controls, the image `im` that shows the drawing, the menu and, in the program
// with sound, the sound controls and the melody page.
//
// The components are built and their handlers bound by the constructor
// (main_form_components.cpp, main_form_sound_page.cpp, main_form_menu.cpp); the handlers
// live in the files of their concern (main_form_lifecycle.cpp, main_form_commands.cpp,
// main_form_files.cpp, main_form_mouse.cpp, main_form_sound.cpp). Components that a
// program does not have stay null.
#include <array>
#include <cstdint>

#include "platform/ui/components.h"

class TForm1 : public TForm {
public:
    explicit TForm1(TApplication& app);

    // --- The function rows (f .. n) ---
    TLabel* Label1; TLabel* Label2; TLabel* Label3; TLabel* Label4; TLabel* Label5;
    TLabel* Label6; TLabel* Label7; TLabel* Label8; TLabel* Label9;
    TEdit* Edit1; TEdit* Edit2; TEdit* Edit3; TEdit* Edit4; TEdit* Edit5;
    TEdit* Edit6; TEdit* Edit7; TEdit* Edit8; TEdit* Edit9;
    TSpeedButton* sd1; TSpeedButton* sd2; TSpeedButton* sd3; TSpeedButton* sd4; TSpeedButton* sd5;
    TSpeedButton* sd6; TSpeedButton* sd7; TSpeedButton* sd8; TSpeedButton* sd9;
    TSpeedButton* exc = nullptr;  // "Exclusif" (program with sound)
    TBitBtn* BitBtn1;             // "X"
    std::array<TLabel*, 9> FunctionLabels{};
    std::array<TEdit*, 9> FunctionEdits{};
    std::array<TSpeedButton*, 9> ShowButtons{};

    // --- The left panel ---
    TEdit* Edit10; TEdit* Edit11; TEdit* Edit12; TEdit* Edit13;  // x.deb, x.fin, y.deb, y.fin
    TEdit* Edit15; TEdit* Edit16;                                // a, b
    TUpDown* UpDown1; TUpDown* UpDown2; TUpDown* UpDown3; TUpDown* UpDown4;
    TEdit* Edit18;                                               // step value
    TUpDown* UpDown5; TUpDown* UpDown8;                          // y and x scale
    TEdit* Edit14; TUpDown* UpDown6;                             // line thickness
    TEdit* Edit19; TUpDown* UpDown7;                             // font percentage
    TEdit* Edit17;                                               // export width
    TButton* Button4;                                            // "Id."
    TCheckBox* quad; TCheckBox* axe; TCheckBox* ceffa; TCheckBox* cnb;
    TButton* Button1;  // "Trace"
    TButton* Button2;  // "Normer"
    TButton* Button3;  // "Centrer"
    TEdit* Edit20 = nullptr; TUpDown* UpDown9 = nullptr; TUpDown* UpDown10 = nullptr;  // zoom
    TLabel* Label22;   // mouse coordinates
    TMemo* Memo2;      // mouse help
    TImage* im;        // the drawing

    // --- The sound controls of the first page (program with sound) ---
    TButton* Button5 = nullptr;                       // "Jouer"
    TEdit* Edit21 = nullptr;                          // duration, seconds
    TEdit* Edit22 = nullptr;                          // phase step, ms
    TUpDown* UpDown11 = nullptr; TUpDown* UpDown12 = nullptr;
    TCheckBox* cst = nullptr;                         // "Stereo"
    TRadioButton* rb1 = nullptr; TRadioButton* rb2 = nullptr;

    // --- The pages (program with sound) ---
    TPageControl* pc = nullptr;
    TTabSheet* TabSheet1 = nullptr;  // "Fonction de son"
    TTabSheet* TabSheet2 = nullptr;  // "Construction d'une suite d'harmonie"

    // --- The melody page (program with sound) ---
    TStringGrid* sg = nullptr;   // scales: 16 x 50
    TStringGrid* ms = nullptr;   // melody: 1000 x 24
    TEdit* Edit23 = nullptr; TEdit* Edit24 = nullptr;  // scale letters
    TEdit* Edit25 = nullptr;                           // start, beats
    TEdit* Edit26 = nullptr;                           // tempo
    TEdit* Edit27 = nullptr;                           // tonic, Hz
    TEdit* Edit28 = nullptr;                           // time of the chord to show
    TButton* Button6 = nullptr;   // "Changement"
    TButton* Button7 = nullptr;   // "Supprimer"
    TButton* Button8 = nullptr;   // "Ins\xE9rer"
    TButton* Button9 = nullptr;   // "Dupliquer"
    TButton* Button10 = nullptr;  // "Jouer"
    TButton* Button11 = nullptr;  // "> Fonctions"
    TLabel* Label33 = nullptr;

    // --- The menu and the file dialogs ---
    TMainMenu* MainMenu1;
    TMenuItem* Fichier1; TMenuItem* Nouveau1; TMenuItem* Ouvri1; TMenuItem* Enregistrer1; TMenuItem* Quitter1;
    TMenuItem* Edition1; TMenuItem* Annuler1; TMenuItem* Refaire1;
    TMenuItem* Exporter1; TMenuItem* Copierdanslepresspapier1; TMenuItem* Envoyercommeimage1;
    TMenuItem* EnvoyerparFtp1;
    TMenuItem* Options1; TMenuItem* Limitedudomainededefinition1; TMenuItem* Droiteverticale1;
    TMenuItem* Tracerladriveena1 = nullptr; TMenuItem* Afficherlasurfaceentreaetb1 = nullptr;
    TMenuItem* un1fun1 = nullptr;
    TMenuItem* Etiquette1; TMenuItem* leg; TMenuItem* abspi; TMenuItem* re1;
    TMenuItem* Elargirlechampdezommer1; TMenuItem* Moitiegauche1; TMenuItem* Moitidroite1;
    TMenuItem* Aide1;
    TSaveDialog* sd; TOpenDialog* od; TSaveDialog* sdj;

    // --- Life of the window ---
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormResize(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormDestroy(TObject* Sender);
    void BitBtn1Click(TObject* Sender);
    void Button1Click(TObject* Sender);

    // --- Function rows, parameters, scales, window and display options ---
    void Edit1Change(TObject* Sender);
    void Edit1KeyPress(TObject* Sender, char& Key);
    void sd1Click(TObject* Sender);
    void sd9Click(TObject* Sender);
    void Edit10Click(TObject* Sender);
    void Edit10KeyPress(TObject* Sender, char& Key);
    void UpDown1Click(TObject* Sender, TUDBtnType Button);
    void UpDown2Click(TObject* Sender, TUDBtnType Button);
    void UpDown3Click(TObject* Sender, TUDBtnType Button);
    void UpDown4Click(TObject* Sender, TUDBtnType Button);
    void UpDown5Click(TObject* Sender, TUDBtnType Button);
    void UpDown6Click(TObject* Sender, TUDBtnType Button);
    void UpDown8Click(TObject* Sender, TUDBtnType Button);
    void UpDown9Click(TObject* Sender, TUDBtnType Button);
    void UpDown10Click(TObject* Sender, TUDBtnType Button);
    void Edit20KeyUp(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void legClick(TObject* Sender);
    void abspiClick(TObject* Sender);
    void re1Click(TObject* Sender);
    void Elargirlechampdezommer1Click(TObject* Sender);
    void Moitiegauche1Click(TObject* Sender);
    void Moitidroite1Click(TObject* Sender);
    void rb2Click(TObject* Sender);

    // --- Keys, files, dialogs, export ---
    void FormKeyUp(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
    void Nouveau1Click(TObject* Sender);
    void Ouvri1Click(TObject* Sender);
    void Enregistrer1Click(TObject* Sender);
    void Quitter1Click(TObject* Sender);
    void Copierdanslepresspapier1Click(TObject* Sender);
    void Envoyercommeimage1Click(TObject* Sender);
    void EnvoyerparFtp1Click(TObject* Sender);
    void Limitedudomainededefinition1Click(TObject* Sender);
    void Droiteverticale1Click(TObject* Sender);
    void Etiquette1Click(TObject* Sender);
    void Tracerladriveena1Click(TObject* Sender);
    void Afficherlasurfaceentreaetb1Click(TObject* Sender);
    void un1fun1Click(TObject* Sender);
    void Aide1Click(TObject* Sender);

    // --- Mouse on the image ---
    void imMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void imMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void imMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // --- Sound and melody (program with sound) ---
    void Button5Click(TObject* Sender);   // "Jouer": plays the two channels
    void UpDown11Click(TObject* Sender, TUDBtnType Button);
    void UpDown12Click(TObject* Sender, TUDBtnType Button);
    void cstClick(TObject* Sender);
    void Button6Click(TObject* Sender);   // "Changement": moves the notes to the other scale
    void Button11Click(TObject* Sender);  // "> Fonctions"

private:
    void BuildFunctionRows(TWinControl* parent);
    void BuildLeftPanel(TWinControl* parent, TWinControl* imageParent);
    void BuildSoundControls(TWinControl* parent, int top);
    void BuildMelodyPage(TWinControl* page);
    void BuildMenu();
    void BindHandlers();
    void BindSoundHandlers();
};

extern TForm1* Form1;
