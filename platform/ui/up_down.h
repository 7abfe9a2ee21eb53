#pragma once
// TUpDown (a pair of arrow buttons tied to an edit) and TTrackBar.
#include "platform/ui/controls.h"

class TEdit;

// An up-down control, usually with an associated edit that shows its position.
//  - A user click on an arrow moves Position by Increment within Min..Max (it stays at the
//    limit), writes the new position into the edit, then fires OnClick with the arrow
//    (btNext for up or right, btPrev for down or left), also when it was at the limit.
//  - SetPosition fires nothing of its own; it keeps the value within Min..Max and writes it
//    into the edit (whose OnChange follows the edit's rule).
//  - Position() first takes a valid integer typed in the edit (kept within Min..Max);
//    other text leaves the last position.
//  - SetAssociate writes the position into the edit.
class TUpDown : public TWinControl {
public:
    explicit TUpDown(TWinControl* parent);
    ~TUpDown() override;

    int Min() const { return min_; }
    void SetMin(int value) { min_ = value; }
    int Max() const { return max_; }
    void SetMax(int value) { max_ = value; }
    int Increment() const { return increment_; }
    void SetIncrement(int value) { increment_ = value; }
    bool Wrap() const { return wrap_; }  // past a limit to the other one
    void SetWrap(bool on) { wrap_ = on; }

    int Position() const;
    void SetPosition(int value);

    TEdit* Associate() const { return associate_; }
    void SetAssociate(TEdit* edit);

    TUDOrientation Orientation() const { return orientation_; }
    void SetOrientation(TUDOrientation orientation);

    TUDClickEvent OnClick;

    // For the layer and the harness: the arrow buttons' widgets.
    QWidget* ArrowWidget(TUDBtnType button) const;

protected:
    void Resized() override;

private:
    void UserClicked(TUDBtnType button);
    void WriteAssociate();
    int Clamp(int value) const;
    int min_ = 0;
    int max_ = 100;
    int increment_ = 1;
    bool wrap_ = false;
    mutable int position_ = 0;
    TEdit* associate_ = nullptr;
    TUDOrientation orientation_ = udVertical;
    QWidget* next_ = nullptr;
    QWidget* prev_ = nullptr;
};

// A track bar: a slider over Min..Max. SetPosition (kept within Min..Max) fires nothing;
// a user move fires OnChange.
class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TWinControl* parent);

    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Position() const { return position_; }
    void SetPosition(int value);
    int Frequency() const { return frequency_; }
    void SetFrequency(int value);

    TNotifyEvent OnChange;

private:
    void ShowRange();
    void UserMoved(int value);
    int min_ = 0;
    int max_ = 10;
    int position_ = 0;
    int frequency_ = 1;
};
