#include "sound/melody_commands.h"

#include <algorithm>
#include <string>

#include "engine/number_format.h"
#include "platform/ui/grids.h"
#include "plotter/function_rows.h"
#include "plotter/main_form.h"
#include "plotter/redraw_pipeline.h"
#include "sound/melody.h"

namespace {

constexpr int FirstNoteRow = 2;
constexpr int LastMelodyColumn = 999;
constexpr int ChordFunctionCount = 7;  // f .. l

// The last column whose time text is exactly `time`, or -1.
int FindColumnOfTime(const TStringGrid& melody, const std::string& time) {
    for (int column = LastMelodyColumn; column >= 0; --column)
        if (melody.Cell(column, 0) == time) return column;
    return -1;
}

}  // namespace

void ChangeScale() {
    TStringGrid& melody = *Form1->ms;
    const std::string from = Form1->Edit23->Text();
    const std::string to = Form1->Edit24->Text();
    // An empty letter is found nowhere (inserting the other letter in front of every note
    // would change the notes' names).
    if (!from.empty()) {
        for (int column = 1; column < melody.ColCount(); ++column) {
            for (int row = FirstNoteRow; row < melody.RowCount(); row += 2) {
                std::string cell = melody.Cell(column, row);
                const std::size_t at = cell.find(from);
                if (cell.empty() || at == std::string::npos) continue;
                cell.replace(at, from.size(), to);
                melody.SetCell(column, row, std::move(cell));
            }
        }
    }
    Form1->Edit23->SetText(to);
    Form1->Edit24->SetText(from);
    RedrawGraph(Form1->im->Bitmap());
}

void ChordToFunctions() {
    const NoteTable notes = ReadNoteTable(*Form1->sg);
    for (int index = 0; index < ChordFunctionCount; ++index) GetFunctionEdit(index)->SetText("");

    const TStringGrid& melody = *Form1->ms;
    const int column = FindColumnOfTime(melody, Form1->Edit28->Text());
    if (column >= 0) {
        const std::string tonic = Form1->Edit27->Text();
        std::string previous;
        int j = 1;
        for (int row = FirstNoteRow; row + 1 < melody.RowCount(); row += 2, ++j) {
            // From the eighth note on, l gathers the notes: the sum so far, joined by "+"
            // to this note's term (an unknown note adds no term, and no "+").
            std::string text = j < ChordFunctionCount + 1 ? std::string() : previous;
            double factor = 1;
            const std::string name = ParseNoteName(melody.Cell(column, row), factor);
            if (name.empty()) break;
            double ratio = 0;
            if (notes.Find(name, ratio)) {
                if (!text.empty()) text += "+";
                text += melody.Cell(column, row + 1) + "sin(" + tonic + "x * " +
                        FormatGeneral((long double)(ratio * factor), GeneralDigits) + ")";
            }
            GetFunctionEdit(std::min(j, ChordFunctionCount) - 1)->SetText(text);
            previous = text;
        }
    }
    Form1->pc->SetActivePageIndex(0);
    RedrawGraph(Form1->im->Bitmap());
}
