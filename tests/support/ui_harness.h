#pragma once
// The base fixture of GUI tests: the application on the offscreen platform, scripted
// services, a temporary start directory. Forms created in a test are destroyed after it.
// Program-specific fixtures derive from it and build their forms in SetUp.
#include <gtest/gtest.h>

#include <memory>

#include "platform/graphics/clipboard.h"
#include "platform/ui/components.h"
#include "tests/support/service_doubles.h"
#include "tests/support/start_directory.h"
#include "tests/support/user_actions.h"

namespace uitest {

class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ScriptedMessageBoxes messages;
    ScriptedFileDialogs files;
    RecordingCursor cursor;
    FixedScreen screen;
    MemoryClipboard clipboard;
    std::unique_ptr<TempStartDirectory> startDirectory;

private:
    TPlatformServices previous_;
};

// Makes sure the GUI application exists (offscreen unless QT_QPA_PLATFORM says otherwise).
void EnsureApplication();

}  // namespace uitest
