// The help window: its pages and texts, the functions page against the compiler of the
// running program, and the "?" menu that shows it.
#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "dialogs/help_form.h"
#include "engine/expression_tables.h"
#include "plotter/main_form.h"
#include "sound/vartelo_program.h"
#include "tests/plotter/program_harness.h"
#include "tests/support/user_actions.h"
#include "variants/quimbel_program.h"

namespace helptest {
namespace {

using Texts = std::vector<std::string>;

// Every call name of the compiler's keyword table, in upper case, whichever program it
// belongs to.
const Texts kKeywordNames = {
    "SIN",    "SINUS",   "COS",      "COSINUS",  "TAN",     "TANGENTE", "EXP",     "LN",
    "LOG",    "RACINE",  "RAC",      "SQRT",     "CARRE",   "CAR",      "SQR",     "ABS",
    "ABSOLU", "SINH",    "COSH",     "TANH",     "ARCCOS",  "ACOS",     "ARCOS",   "ASIN",
    "ARCSIN", "ATAN",    "ARCTAN",   "ENT",      "ENTIER",  "INT",      "INTEGER", "FRAC",
    "DECIMALE", "FRACTION", "HAS",   "HASARD",   "U",       "CRE",      "SCI",     "TRI",
    "PAL",    "MAX",     "MAXIMUM",  "MIN",      "MINIMUM",
};
const Texts kWaveforms = {"CRE", "SCI", "TRI", "PAL"};

std::string Upper(std::string text) {
    for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The names written as calls in a text: each run of ASCII letters right before a "(",
// in upper case.
std::set<std::string> CalledNames(const std::string& text) {
    std::set<std::string> names;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '(') continue;
        size_t start = i;
        while (start > 0 && std::isalpha(static_cast<unsigned char>(text[start - 1]))) --start;
        if (start < i) names.insert(Upper(text.substr(start, i - start)));
    }
    return names;
}

Texts MemoLines(const TMemo* memo) { return memo->Lines().Lines(); }

class HelpWindowTest : public plottest::ProgramTest {
protected:
    void Start(const ProgramDescription& program) {
        StartProgram(program, false);
        ShowMainWindow();
    }

    // The functions page names as calls exactly the keywords that the running program's
    // compiler accepts, and each one it names compiles as a call.
    void ExpectFunctionsPageMatchesCompiler() {
        std::set<std::string> accepted;
        for (const std::string& name : kKeywordNames)
            if (LookUpKeyword(name) != 0) accepted.insert(name);
        EXPECT_EQ(CalledNames(Form8->Memo1->Text()), accepted);
    }
};

TEST_F(HelpWindowTest, PagesAndFixedTexts) {
    Start(QuimbelProgram());
    EXPECT_EQ(Form8->Caption(), "Aide");
    ASSERT_EQ(Form8->PageControl1->PageCount(), 3);
    EXPECT_EQ(Form8->PageControl1->Align(), alClient);
    EXPECT_EQ(Form8->PageControl1->Pages(0)->Caption(), "Fonctions disponibles");
    EXPECT_EQ(Form8->PageControl1->Pages(1)->Caption(), "Manipulation souris");
    EXPECT_EQ(Form8->PageControl1->Pages(2)->Caption(), "A propos");
    EXPECT_EQ(Form8->PageControl1->ActivePageIndex(), 0);

    EXPECT_EQ(MemoLines(Form8->Memo2), (Texts{"Action souris sur l'image :",
                                             "- Glisser-deplacer gauche : recadrer",
                                             "- Glisser-deplacer droit : deplacer",
                                             "- Click gauche : rafraichir",
                                             "- Click droit : \xE9largir",
                                             "",
                                             "D\xE9placement des ettiquette en glisser-",
                                             "  deplacer droite ou gauche"}));
    EXPECT_EQ(MemoLines(Form8->Memo3), (Texts{"Editieur de courbes fonctionnelles",
                                             "Description;",
                                             "Pour construire des graphiques soign\xE9s",
                                             "Pour produire des animations fonctionnelles."}));
    EXPECT_EQ(Form8->Label1->Caption(), "Quimbel");
    EXPECT_EQ(Form8->Label1->Font.Name, "Arial");
    EXPECT_TRUE(Form8->Label1->Font.Bold);
    for (const TMemo* memo : {Form8->Memo1, Form8->Memo2, Form8->Memo3}) EXPECT_TRUE(memo->ReadOnly());
    EXPECT_EQ(Form8->Memo1->Parent(), Form8->TabSheet1);
    EXPECT_EQ(Form8->Memo2->Parent(), Form8->TabSheet2);
    EXPECT_EQ(Form8->Image1->Parent(), Form8->TabSheet3);
}

TEST_F(HelpWindowTest, PictureShowsCurvesOnWhite) {
    Start(QuimbelProgram());
    TBitmap& picture = Form8->Image1->Bitmap();
    ASSERT_FALSE(picture.Empty());
    std::set<TColor> colours;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) colours.insert(picture.Canvas().Pixels(x, y));
    EXPECT_EQ(picture.Canvas().Pixels(0, 0), clWhite);
    for (TColor curve : {clRed, clBlue, clGreen}) EXPECT_TRUE(colours.count(curve)) << std::hex << curve;
}

TEST_F(HelpWindowTest, QuimbelListsItsKeywordsWithoutWaveforms) {
    Start(QuimbelProgram());
    ExpectFunctionsPageMatchesCompiler();
    const std::set<std::string> called = CalledNames(Form8->Memo1->Text());
    for (const std::string& wave : kWaveforms) EXPECT_FALSE(called.count(wave)) << wave;
    EXPECT_EQ(Form8->Memo1->Text().find("Signaux"), std::string::npos);
    EXPECT_TRUE(called.count("MAX"));
}

TEST_F(HelpWindowTest, VarteloListsEveryKeywordWithWaveforms) {
    Start(VarteloProgram());
    ExpectFunctionsPageMatchesCompiler();
    const std::set<std::string> called = CalledNames(Form8->Memo1->Text());
    for (const std::string& wave : kWaveforms) EXPECT_TRUE(called.count(wave)) << wave;
    EXPECT_EQ(called.size(), kKeywordNames.size());
}

TEST_F(HelpWindowTest, ConstantsAndVariablesAreThoseOfTheCompiler) {
    Start(QuimbelProgram());
    const Texts lines = MemoLines(Form8->Memo1);
    const auto constants = std::find_if(lines.begin(), lines.end(),
                                        [](const std::string& l) { return l.starts_with("Constantes : "); });
    ASSERT_NE(constants, lines.end());
    Texts names;
    std::string rest = constants->substr(13);
    for (size_t comma; (comma = rest.find(", ")) != std::string::npos; rest.erase(0, comma + 2))
        names.push_back(rest.substr(0, comma));
    names.push_back(rest);
    EXPECT_EQ(names, (Texts{"pi", "e", "ln2", "ln3", "rac2"}));
    for (const std::string& name : names) {
        long double value = 0;
        EXPECT_TRUE(LookUpConstant(Upper(name), value)) << name;
    }
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Variables : x, et les param\xE8tres a et b"), lines.end());
    for (const char* variable : {"X", "A", "B"}) EXPECT_NE(LookUpVariable(variable), 0);
}

TEST_F(HelpWindowTest, QuestionMarkMenuShowsTheWindow) {
    Start(QuimbelProgram());
    ASSERT_FALSE(Form8->Visible());
    EXPECT_EQ(Form1->Aide1->Caption(), "?");
    uitest::ClickMenu(Form1->Aide1);
    EXPECT_TRUE(Form8->Visible());
    uitest::ChooseTab(Form8->PageControl1, 2);
    EXPECT_EQ(Form8->PageControl1->ActivePage(), Form8->TabSheet3);
}

TEST_F(HelpWindowTest, EscClosesTheWindowFromAnyPage) {
    Start(QuimbelProgram());
    for (int page : {0, 2}) {
        uitest::ClickMenu(Form1->Aide1);
        ASSERT_TRUE(Form8->Visible());
        uitest::ChooseTab(Form8->PageControl1, page);
        uitest::Focus(page == 0 ? static_cast<TWinControl*>(Form8->Memo1) : Form8->Memo3);
        uitest::PressKey(Form8, VK_ESCAPE);
        EXPECT_FALSE(Form8->Visible()) << "page " << page;
    }
    // Other keys leave it open.
    uitest::ClickMenu(Form1->Aide1);
    uitest::PressKey(Form8, VK_RETURN);
    EXPECT_TRUE(Form8->Visible());
}

}  // namespace
}  // namespace helptest
