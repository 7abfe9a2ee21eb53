#include "settings/undo_ring.h"

#include <string>
#include <system_error>
#include <vector>

#include "engine/text_helpers.h"
#include "plotter/drawing_state.h"
#include "plotter/load_refresh.h"
#include "plotter/undo_snapshot.h"
#include "settings/settings_file.h"

namespace fs = std::filesystem;

std::int32_t UndoCurrent = 0;
std::int32_t UndoNewest = 0;
std::int32_t UndoOldest = 0;

namespace {

std::int32_t Successor(std::int32_t slot) { return slot >= UndoSlotCount ? 1 : slot + 1; }
std::int32_t Predecessor(std::int32_t slot) { return slot <= 1 ? UndoSlotCount : slot - 1; }

// Loads the slot and only then makes it current: a slot that cannot be read leaves the
// ring where it was.
void MoveTo(std::int32_t slot) {
    LoadSettings(UndoSlotFile(slot), 1);
    UndoCurrent = slot;
    RefreshWindowsAfterLoad();
}

}  // namespace

fs::path UndoFolder() { return fs::path(AddTrailingBackslash(StartDirectory.string())) / "sauve"; }

fs::path UndoSlotFile(std::int32_t slot) { return UndoFolder() / ("bak" + std::to_string(slot) + ".fct"); }

void ResetUndoRing() {
    UndoCurrent = 0;
    UndoNewest = 0;
    UndoOldest = 0;
}

void TakeRingSnapshot() {
    const std::int32_t slot = Successor(UndoCurrent);
    const std::string text = SettingsFileText(1);
    // Compared with the current slot before anything is written: a snapshot equal to the
    // current state writes nothing, so it never overwrites the oldest reachable state of
    // a full ring.
    const bool isNew = UndoCurrent == 0 || SplitSettingsLines(text) != ReadFileLines(UndoSlotFile(UndoCurrent));
    if (isNew) {
        const fs::path folder = UndoFolder();
        fs::create_directories(folder);
        // Owner-only: the snapshots hold the FTP password.
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
        ReplaceFileContents(UndoSlotFile(slot), text);
        UndoCurrent = slot;
        if (slot == UndoOldest) UndoOldest = Successor(slot);
    }
    // Whether new or not, there is nothing left to redo.
    UndoNewest = UndoCurrent;
}

void MarkFirstSnapshotOldest() { UndoOldest = 1; }

void InstallUndoRing() { UndoSnapshotTaker() = TakeRingSnapshot; }

void UndoLastChange() {
    if (UndoCurrent == UndoOldest) return;
    MoveTo(Predecessor(UndoCurrent));
}

void RedoLastChange() {
    if (UndoCurrent == UndoNewest) return;
    MoveTo(Successor(UndoCurrent));
}
