#pragma once

#include "settings.h"
#include "testbook.h"
#include "testsupport.h"

// What every window test starts from: its own program folder with a blank book, the settings
// in force read from an empty store, and prompts answered by the recorder.
struct BookFixture {
    BookFixture() { LoadSettings(); }
    TestBook book() const { return TestBook(folder.database()); }

    ProgramFolderFixture folder;
    PromptRecorder prompts;
};
