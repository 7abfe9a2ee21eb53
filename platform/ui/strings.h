#pragma once
// TStrings: the list of lines of a memo and of the items of a combo box.
#include <functional>
#include <string>
#include <vector>

class TStrings {
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    int Count() const { return int(items_.size()); }
    // Line i (from 0); an index outside 0..Count()-1 raises std::out_of_range.
    const std::string& operator[](int i) const;
    const std::string& Strings(int i) const { return (*this)[i]; }
    void SetStrings(int i, std::string text);

    int Add(std::string text);  // returns the new line's index
    void Insert(int i, std::string text);
    void Delete(int i);
    void Clear();
    void Assign(std::vector<std::string> lines);
    int IndexOf(const std::string& text) const;  // exact match, -1 when absent

    // The lines joined by "\r\n", each line ended by it; SetText splits at "\r\n", "\n"
    // or "\r".
    std::string Text() const;
    void SetText(const std::string& text);

    const std::vector<std::string>& Lines() const { return items_; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    // For the owning control: called after every change made through this interface.
    void SetChangeHook(std::function<void()> hook) { changed_ = std::move(hook); }
    // For the owning control: replaces the lines without calling the hook.
    void ReplaceSilently(std::vector<std::string> lines) { items_ = std::move(lines); }

private:
    void Changed() {
        if (changed_) changed_();
    }
    std::vector<std::string> items_;
    std::function<void()> changed_;
};
