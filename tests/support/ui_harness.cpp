// The base fixture of GUI tests.
#include "tests/support/ui_harness.h"

#include <QCoreApplication>

#include <cstdlib>

namespace uitest {

void EnsureApplication() {
    if (Application->Initialized()) return;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Application->Initialize();
}

void UiTest::SetUp() {
    EnsureApplication();
    Application->DestroyForms();
    previous_ = Application->InstallServices(TPlatformServices{&messages, &files, &cursor, &screen, &clipboard});
    Application->OnException = nullptr;
    Application->SetTitle({});
    Screen->SetCursor(crDefault);
    cursor.Clear();
    startDirectory = std::make_unique<TempStartDirectory>();
}

void UiTest::TearDown() {
    Application->DestroyForms();
    Application->ProcessMessages();
    Application->OnException = nullptr;
    Application->InstallServices(previous_);
    startDirectory.reset();
}

}  // namespace uitest

// The leak checker's suppressions for GUI test binaries, the same as tests/lsan.supp: the
// GUI library and its font stack keep allocations for the life of the process. Built in,
// so that they hold however the binary is started.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libQt6\nleak:libdbus\nleak:libglib\n";
}
