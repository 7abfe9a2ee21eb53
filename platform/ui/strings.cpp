// TStrings: a list of lines that tells its control when it changes.
#include "platform/ui/strings.h"

#include <algorithm>
#include <stdexcept>

namespace {

[[noreturn]] void ListIndexError(int i) {
    throw std::out_of_range("Indice de liste hors limites (" + std::to_string(i) + ")");
}

}  // namespace

const std::string& TStrings::operator[](int i) const {
    if (i < 0 || i >= Count()) ListIndexError(i);
    return items_[size_t(i)];
}

void TStrings::SetStrings(int i, std::string text) {
    if (i < 0 || i >= Count()) ListIndexError(i);
    items_[size_t(i)] = std::move(text);
    Changed();
}

int TStrings::Add(std::string text) {
    items_.push_back(std::move(text));
    Changed();
    return Count() - 1;
}

void TStrings::Insert(int i, std::string text) {
    if (i < 0 || i > Count()) ListIndexError(i);
    items_.insert(items_.begin() + i, std::move(text));
    Changed();
}

void TStrings::Delete(int i) {
    if (i < 0 || i >= Count()) ListIndexError(i);
    items_.erase(items_.begin() + i);
    Changed();
}

void TStrings::Clear() {
    if (items_.empty()) return;
    items_.clear();
    Changed();
}

void TStrings::Assign(std::vector<std::string> lines) {
    items_ = std::move(lines);
    Changed();
}

int TStrings::IndexOf(const std::string& text) const {
    const auto it = std::find(items_.begin(), items_.end(), text);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

std::string TStrings::Text() const {
    std::string text;
    for (const std::string& line : items_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void TStrings::SetText(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    Assign(std::move(lines));
}
