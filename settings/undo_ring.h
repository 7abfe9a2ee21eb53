#pragma once
// The undo ring: forty snapshots of the whole state, the settings files bak1.fct ..
// bak40.fct in the folder "sauve" of the start directory. A snapshot equal to the
// current state is not a step of its own.
#include <cstdint>
#include <filesystem>

inline constexpr std::int32_t UndoSlotCount = 40;

extern std::int32_t UndoCurrent;  // slot of the current state, 0 before the first snapshot
extern std::int32_t UndoNewest;   // slot of the newest state, the limit of redo
extern std::int32_t UndoOldest;   // slot of the oldest state still reachable, the limit of undo

// The file of slot 1 .. 40.
std::filesystem::path UndoSlotFile(std::int32_t slot);
// The folder of the slots.
std::filesystem::path UndoFolder();

// Forgets every step (a new run): the three indexes back to 0.
void ResetUndoRing();
// Takes a snapshot of the current state; raises on a failure (SaveUndoSnapshot, which
// calls it, swallows it).
void TakeRingSnapshot();
// After the first snapshot of a run: it is the oldest reachable state.
void MarkFirstSnapshotOldest();
// Makes the ring the taker of SaveUndoSnapshot.
void InstallUndoRing();

// Ctrl+Z: loads the previous state (nothing at the oldest) and brings the windows up to
// date. Ctrl+Y: the same towards the newest state.
void UndoLastChange();
void RedoLastChange();
