#pragma once
// A set of the members of a small enumeration, one bit per ordinal, stored in Word.
#include <cstdint>
#include <initializer_list>

template <class Enum, class Word>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<Enum> members) {
        for (Enum m : members) FBits = static_cast<Word>(FBits | Bit(static_cast<unsigned>(m)));
    }
    constexpr bool Contains(Enum m) const { return ContainsOrdinal(static_cast<unsigned>(m)); }
    // False for an ordinal beyond the width of the set.
    constexpr bool ContainsOrdinal(unsigned ordinal) const {
        return ordinal < 8 * sizeof(Word) && (FBits & Bit(ordinal)) != 0;
    }
    constexpr TEnumSet& Include(Enum m) {
        FBits = static_cast<Word>(FBits | Bit(static_cast<unsigned>(m)));
        return *this;
    }
    constexpr TEnumSet& Exclude(Enum m) {
        FBits = static_cast<Word>(FBits & ~Bit(static_cast<unsigned>(m)));
        return *this;
    }
    constexpr TEnumSet Without(Enum m) const { return TEnumSet(*this).Exclude(m); }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr Word Bits() const { return FBits; }
    friend constexpr bool operator==(TEnumSet, TEnumSet) = default;

private:
    static constexpr Word Bit(unsigned ordinal) {
        return ordinal < 8 * sizeof(Word) ? static_cast<Word>(Word{1} << ordinal) : Word{0};
    }
    Word FBits = 0;
};
