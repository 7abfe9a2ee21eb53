#include "settings/program_settings_rows.h"

#include <string>

#include "dialogs/areas_form.h"
#include "dialogs/derivatives_form.h"
#include "dialogs/domains_form.h"
#include "dialogs/ftp_form.h"
#include "dialogs/labels_form.h"
#include "plotter/movable_labels.h"
#include "dialogs/sequences_form.h"
#include "dialogs/vertical_lines_form.h"
#include "plotter/drawing_state.h"
#include "plotter/main_form.h"

namespace {

TSettingDefault Text(const char* text) { return TSettingDefault::FromText(text); }
TSettingDefault Number(std::int32_t value) { return TSettingDefault::FromInteger(value); }

std::string Num(int n) { return std::to_string(n); }

void AddMainWindowRows(TSettingsTable& t) {
    static const char* const letters[9] = {"f", "g", "h", "i", "j", "k", "l", "m", "n"};
    TForm1& f = *Form1;
    TEdit* functions[9] = {f.Edit1, f.Edit2, f.Edit3, f.Edit4, f.Edit5, f.Edit6, f.Edit7, f.Edit8, f.Edit9};
    for (int i = 0; i < 9; ++i) t.Add(std::string("Fonction ") + letters[i], skEditText, functions[i], Text(""));
    t.Add("X deb", skEditText, f.Edit10, Text("-5"));
    t.Add("X fin", skEditText, f.Edit11, Text("5"));
    t.Add("Y deb", skEditText, f.Edit12, Text("-5"));
    t.Add("Y fin", skEditText, f.Edit13, Text("5"));
    t.Add("Quadrillage", skCheckBox, f.quad, Text("0"));
    t.Add("Axe", skCheckBox, f.axe, Text("1"));
    t.Add("Parametre a", skEditText, f.Edit15, Text("0"));
    t.Add("Parametre b", skEditText, f.Edit16, Text("0"));
    t.Add("Largeur copier coller", skEditText, f.Edit17, Text("1500"));
    t.Add("Eppaisseur courbe", skUpDown, f.UpDown6, Text("3"));
    TSpeedButton* shown[9] = {f.sd1, f.sd2, f.sd3, f.sd4, f.sd5, f.sd6, f.sd7, f.sd8, f.sd9};
    for (int i = 0; i < 9; ++i) t.Add(std::string("Selection ") + letters[i], skSpeedButton, shown[i], Text("1"));
}

void AddAreaRows(TSettingsTable& t) {
    static const char* const firstOf[5] = {"f", "g", "h", "i", "j"};
    TForm2& d = *Form2;
    TCheckBox* boxes[5] = {d.CheckBox1, d.CheckBox2, d.CheckBox3, d.CheckBox4, d.CheckBox5};
    TComboBox* combos[10] = {d.ComboBox1, d.ComboBox2, d.ComboBox3, d.ComboBox4, d.ComboBox5,
                             d.ComboBox6, d.ComboBox7, d.ComboBox8, d.ComboBox9, d.ComboBox10};
    TEdit* edits[10] = {d.Edit1, d.Edit2, d.Edit3, d.Edit4, d.Edit5, d.Edit6, d.Edit7, d.Edit8, d.Edit9, d.Edit10};
    for (int n = 1; n <= 5; ++n) {
        const std::string caption = "Surface " + Num(n);
        t.Add(caption, skCheckBox, boxes[n - 1], Text("0"));
        t.Add(caption + " - fct deb", skComboText, combos[2 * n - 2], Text("0"));
        t.Add(caption + " - fct fin", skComboText, combos[2 * n - 1], Text(firstOf[n - 1]));
        t.Add(caption + " - x deb", skEditText, edits[2 * n - 2], Text("0"));
        t.Add(caption + " - x fin", skEditText, edits[2 * n - 1], Text("1"));
    }
}

void AddTangentRows(TSettingsTable& t) {
    static const char* const functionOf[5] = {"f", "g", "h", "i", "j"};
    TForm3& d = *Form3;
    TCheckBox* boxes[5] = {d.CheckBox1, d.CheckBox2, d.CheckBox3, d.CheckBox4, d.CheckBox5};
    TComboBox* combos[5] = {d.ComboBox2, d.ComboBox4, d.ComboBox6, d.ComboBox8, d.ComboBox10};
    TEdit* edits[5] = {d.Edit1, d.Edit3, d.Edit5, d.Edit7, d.Edit9};
    for (int n = 1; n <= 5; ++n) {
        const std::string caption = "Derivee " + Num(n);
        t.Add(caption, skCheckBox, boxes[n - 1], Text("0"));
        t.Add(caption + " - fct", skComboText, combos[n - 1], Text(functionOf[n - 1]));
        t.Add(caption + " - a=", skEditText, edits[n - 1], Text("0"));
    }
}

void AddFtpRows(TSettingsTable& t) {
    TForm4& d = *Form4;
    t.Add("Hote ftp", skEditText, d.Edit1, Text(""));
    t.Add("Port ftp", skEditText, d.Edit2, Text(""));
    t.Add("Login ftp", skEditText, d.edit3, Text(""));
    t.Add("Passe ftp", skEditText, d.edit4, Text(""));
    t.Add("Chemin ftp", skEditText, d.Edit5, Text(""));
}

void AddSequenceRows(TSettingsTable& t) {
    static const char* const functionOf[3] = {"f", "g", "h"};
    TForm5& d = *Form5;
    TCheckBox* boxes[6] = {d.CheckBox1, d.CheckBox2, d.CheckBox3, d.CheckBox4, d.CheckBox5, d.CheckBox6};
    TComboBox* combos[3] = {d.ComboBox2, d.ComboBox4, d.ComboBox6};
    TEdit* edits[3] = {d.Edit1, d.Edit2, d.Edit3};
    for (int n = 1; n <= 3; ++n) {
        const std::string caption = "Recurrence " + Num(n);
        t.Add(caption, skCheckBox, boxes[2 * n - 2], Text("0"));
        t.Add(caption + "- fct", skComboText, combos[n - 1], Text(functionOf[n - 1]));
        t.Add(caption + "- u0=", skEditText, edits[n - 1], Text("0"));
        t.Add(caption + " - pas \xE0 pas", skCheckBox, boxes[2 * n - 1], Text("1"));
    }
}

void AddDomainRows(TSettingsTable& t, const char* lowerDefault) {
    static const char* const letters[9] = {"f", "g", "h", "i", "j", "k", "l", "m", "n"};
    TForm6& d = *Form6;
    TEdit* edits[18] = {d.Edit1,  d.Edit2,  d.Edit3,  d.Edit4,  d.Edit5,  d.Edit6,  d.Edit7,  d.Edit8,  d.Edit9,
                        d.Edit10, d.Edit11, d.Edit12, d.Edit13, d.Edit14, d.Edit15, d.Edit16, d.Edit17, d.Edit18};
    for (int i = 0; i < 9; ++i) {
        t.Add(std::string("Domaine ") + letters[i] + " min", skEditText, edits[2 * i], Text(lowerDefault));
        t.Add(std::string("Domaine ") + letters[i] + " max", skEditText, edits[2 * i + 1], Text("inf"));
    }
}

void AddLabelRows(TSettingsTable& t) {
    for (int n = 1; n <= LabelCount; ++n) {
        const std::string caption = "Etiquette " + Num(n);
        const size_t i = size_t(n - 1);
        t.Add(caption + " - texte", skStrVar, &LabelTexts[i], Text(""));
        t.Add(caption + " - taille", skRealVar, &LabelSizes[i], Number(100));
        t.Add(caption + " - pos x (coef largeur)", skRealVar, &LabelX[i], Number(0));
        // 0.05 x N, held exactly as a four-place decimal.
        t.Add(caption + " - pos y (coef largeur)", skRealVar, &LabelY[i], TSettingDefault::FromFixed4(500 * n));
    }
}

void AddVerticalLineRows(TSettingsTable& t) {
    TForm9& d = *Form9;
    TCheckBox* boxes[6] = {d.CheckBox1, d.CheckBox2, d.CheckBox3, d.CheckBox4, d.CheckBox5, d.CheckBox6};
    TEdit* edits[6] = {d.Edit1, d.Edit2, d.Edit3, d.Edit4, d.Edit5, d.Edit6};
    for (int n = 1; n <= 6; ++n) {
        const std::string caption = "Droite verticale " + Num(n);
        t.Add(caption, skCheckBox, boxes[n - 1], Number(0));
        t.Add(caption + "- x=", skEditText, edits[n - 1], Text("0"));
    }
}

}  // namespace

void AddSharedSettingsRows(TSettingsTable& t, const char* lowerDomainDefault) {
    AddMainWindowRows(t);                                                               // 1 .. 28
    AddAreaRows(t);                                                                     // 29 .. 53
    AddTangentRows(t);                                                                  // 54 .. 68
    t.Add("Valeur de base pour modification des parametres", skEditText, Form1->Edit18, Text("2"));  // 69
    AddFtpRows(t);                                                                      // 70 .. 74
    AddSequenceRows(t);                                                                 // 75 .. 86
    AddDomainRows(t, lowerDomainDefault);                                               // 87 .. 104
    t.Add("Affiche legende", skIntVar, &ShowLegend, Text("0"));                         // 105
    // The number of steps drawn: read back within 0 .. 200, as the arrow keys keep it.
    t.Add("Etapes de recurence", skIntVar, &StepCounter, Number(0)).Within(0, MaxStepCounter);  // 106
    AddLabelRows(t);                                                                    // 107 .. 154
    t.Add("Police d'ettiquette et legende", skComboText, Form7->cpol, Text("Arial"));   // 155
    AddVerticalLineRows(t);                                                             // 156 .. 167
    t.Add("Abscisse en multiple de pi", skIntVar, &AbscissaInPi, Number(0));           // 168
    t.Add("Taille ajustement police", skUpDown, Form1->UpDown7, Text("100"));           // 169
    t.Add("Trac\xE9 \xE0 haute pr\xE9" "cision", skIntVar, &PreciseTracing, Text("0")).ByteTarget = true;  // 170
}

void BuildVarteloSettingsRows(TSettingsTable& t) {
    AddSharedSettingsRows(t, "0");
    TForm1& f = *Form1;
    t.Add("Zoom initial", skEditText, f.Edit20, Text("1"));
    t.Add("Duree son emi", skEditText, f.Edit21, Text("3"));
    t.Add("gamme", skStringGrid, f.sg, Text(""));
    t.Add("musique", skStringGrid, f.ms, Text(""));
    t.Add("tempo", skEditText, f.Edit26, Text("60"));
    t.Add("chang deb", skEditText, f.Edit23, Text("A"));
    t.Add("chang fin", skEditText, f.Edit24, Text("B"));
    t.Add("tonique", skEditText, f.Edit27, Text("264"));
    t.Add("debut musique", skEditText, f.Edit25, Text("0"));
}
