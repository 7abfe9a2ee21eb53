#pragma once
// Scripted doubles of the platform services: message boxes and file dialogs answer from a
// queue and record what was asked, the cursor and the screen are plain values.
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/services.h"

namespace uitest {

class ScriptedMessageBoxes final : public TMessageBoxService {
public:
    // Queues the answer of the next box.
    void Answer(TModalResult result) { answers_.push_back(result); }
    TModalResult Show(const TMessageBoxRequest& request) override;

    const std::vector<TMessageBoxRequest>& Shown() const { return shown_; }
    int Count() const { return int(shown_.size()); }
    std::vector<std::string> Texts() const;
    const TMessageBoxRequest& Last() const { return shown_.back(); }
    // Boxes answered without a queued answer (OK, else Cancel, else No).
    int Unscripted() const { return unscripted_; }
    int Pending() const { return int(answers_.size()); }
    void Clear();

    // Runs while a box is up (after it is recorded), e.g. to look at the activation.
    std::function<void(const TMessageBoxRequest&)> WhileShown;

private:
    std::deque<TModalResult> answers_;
    std::vector<TMessageBoxRequest> shown_;
    int unscripted_ = 0;
};

class ScriptedFileDialogs final : public TFileDialogService {
public:
    // Queues the file the user picks in the next dialog, or a cancel.
    void Pick(std::filesystem::path file) { answers_.push_back(std::move(file)); }
    void Cancel() { answers_.push_back(std::nullopt); }
    std::optional<std::filesystem::path> Choose(const TFileDialogRequest& request) override;

    const std::vector<TFileDialogRequest>& Requests() const { return requests_; }
    int Count() const { return int(requests_.size()); }
    void Clear();

    std::function<void(const TFileDialogRequest&)> WhileShown;

private:
    std::deque<std::optional<std::filesystem::path>> answers_;  // empty queue: cancel
    std::vector<TFileDialogRequest> requests_;
};

class RecordingCursor final : public TCursorService {
public:
    void SetCursor(TCursor cursor) override {
        current_ = cursor;
        history_.push_back(cursor);
    }
    TCursor Current() const { return current_; }
    const std::vector<TCursor>& History() const { return history_; }
    void Clear() { history_.clear(); current_ = crDefault; }

private:
    TCursor current_ = crDefault;
    std::vector<TCursor> history_;
};

class FixedScreen final : public TScreenService {
public:
    int width = 1280;
    int height = 1024;
    std::vector<std::string> fonts{"Arial", "Courier New", "Symbol", "Times New Roman"};
    int Width() override { return width; }
    int Height() override { return height; }
    std::vector<std::string> FontNames() override { return fonts; }
};

}  // namespace uitest
