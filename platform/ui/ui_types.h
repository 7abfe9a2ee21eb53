#pragma once
// Small value types shared by the components: sets of flags, mouse buttons, alignment,
// modal results, message-box kinds, cursors and window states.
#include <cstdint>
#include <initializer_list>

// A set of enumerators of one small enumeration (at most 32 members), written like the
// platform's sets: TShiftState{ssCtrl, ssShift}, Shift.Contains(ssCtrl), Set << mbYes.
template <class E>
class TSmallSet {
public:
    constexpr TSmallSet() = default;
    constexpr TSmallSet(std::initializer_list<E> items) {
        for (E e : items) bits_ |= Bit(e);
    }
    constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TSmallSet& operator<<(E e) { bits_ |= Bit(e); return *this; }
    constexpr TSmallSet& operator>>(E e) { bits_ &= ~Bit(e); return *this; }
    constexpr TSmallSet operator+(TSmallSet o) const { TSmallSet r; r.bits_ = bits_ | o.bits_; return r; }
    constexpr TSmallSet operator*(TSmallSet o) const { TSmallSet r; r.bits_ = bits_ & o.bits_; return r; }
    constexpr std::uint32_t Bits() const { return bits_; }
    friend constexpr bool operator==(TSmallSet, TSmallSet) = default;

private:
    static constexpr std::uint32_t Bit(E e) { return std::uint32_t(1) << unsigned(e); }
    std::uint32_t bits_ = 0;
};

// Keyboard modifiers and the mouse buttons held during a key or mouse event.
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSmallSet<TShiftStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Where a control places itself in its parent's client area when the parent is resized.
// Controls are placed in the order top, bottom, left, right, client; within one kind in
// the order they were created.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// The arrow of an up-down control that was clicked: btNext is the up (or right) arrow.
enum TUDBtnType { btNext, btPrev };
enum TUDOrientation { udVertical, udHorizontal };

enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// Modal results of message boxes (the values are those of the platform's button ids).
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

// Message dialogs: the kind (its icon) and the set of buttons.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore };
using TMsgDlgButtons = TSmallSet<TMsgDlgBtn>;
constexpr TMsgDlgButtons mbYesNo{mbYes, mbNo};
constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};

// Flags and results of TApplication::MessageBox, with the platform's values.
constexpr int MB_OK = 0x00;
constexpr int MB_OKCANCEL = 0x01;
constexpr int MB_ABORTRETRYIGNORE = 0x02;
constexpr int MB_YESNOCANCEL = 0x03;
constexpr int MB_YESNO = 0x04;
constexpr int MB_RETRYCANCEL = 0x05;
constexpr int MB_ICONERROR = 0x10;
constexpr int MB_ICONSTOP = 0x10;
constexpr int MB_ICONQUESTION = 0x20;
constexpr int MB_ICONWARNING = 0x30;
constexpr int MB_ICONEXCLAMATION = 0x30;
constexpr int MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Mouse cursors of the screen (the platform's values).
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crHourGlass = -11;

// Frame of a form (all values) or of an edit box (bsNone, bsSingle).
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
