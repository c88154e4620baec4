// The instance marker of a running copy, the marker count that guards the dictionary-changing
// commands, and the start-up clean-up of temporary files left behind by earlier copies.
#include "core/session/instance_marker.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/session/startup_cleanup.h"
#include "core/shell/paths.h"
#include "core/shell/temp_names.h"
#include "core/shell/zantric_exception.h"
#include "support/dictionary_files.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using InstanceMarkerTest = test::ProgramFolderTest;

// The marker lives with the object; a copy that cannot make one is told why.
TEST_F(InstanceMarkerTest, MarkerLivesWithTheObject) {
    {
        InstanceMarker marker(settings());
        EXPECT_EQ(marker.path(), "./temp/" + tempBaseName(settings()) + ".zti");
        EXPECT_EQ(filesIn("temp"), test::Words{tempBaseName(settings()) + ".zti"});
        // A second copy started within the same second takes a marker of its own.
        InstanceMarker sameSecond(settings());
        EXPECT_EQ(sameSecond.path(), "./temp/" + tempBaseName(settings()) + "_1.zti");
        EXPECT_EQ(InstanceMarker::count(settings()), 2);
    }
    EXPECT_TRUE(filesIn("temp").empty());
    fs::remove_all("temp");
    try {
        InstanceMarker marker(settings());
        FAIL() << "no exception";
    } catch (const ZantricException& e) {
        EXPECT_EQ(e.message(), "Unable to open Instance Marker File: " +
                                   shownPath("temp/" + tempBaseName(settings()) + ".zti"));
    }
}

// What the start-up clean-up deletes, depending on whether another copy runs: leftovers in the
// temporary folder, and a word rewrite, copies staged beside dictionaries and saved results and a
// half-written ini left by a copy that ended abruptly; never a dictionary.
TEST_F(InstanceMarkerTest, StartupCleanupDeletesLeftoversOnlyWhenNoOtherCopyRuns) {
    const test::Words leftovers = {"$$1abcde.$$$", "$$1abcde.zix", "$$1abcde.MM_",  "$$1abcde.0",
                                   "$$1abcde.1f",  "$$1abcde.zti", "$$noextension", "sortrun.$$$"};
    const test::Words others = {"keep.txt", "x$$1abcde.zix", "results.ztr"};
    const test::Words outside = {"new{}}{.$$$", "lexicons/new{}}{.$$$", "files/new{}}{.$$$",
                                 "zantric.ini.tmp123", "lexicons/$$1abcde.lex"};
    for (int c = 0; c < 3; ++c) {  // no other copy, a marker of a copy that ended, another copy
        SCOPED_TRACE(c);
        fresh();
        for (const std::string& name : leftovers) test::TempFolder::write("temp/" + name, "x");
        for (const std::string& name : others) test::TempFolder::write("temp/" + name, "x");
        for (const std::string& name : outside) test::TempFolder::write(name, "x");
        if (c == 1) test::TempFolder::write("temp/$$zz.zti", "");
        std::unique_ptr<InstanceMarker> running;
        if (c == 2) running = std::make_unique<InstanceMarker>(settings());
        EXPECT_EQ(deleteLeftoverTempFiles(settings()), c != 2);
        test::Words expected = others;
        if (c == 2) {
            expected.insert(expected.end(), leftovers.begin(), leftovers.end());
            expected.push_back(running->path().filename().string());
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(filesIn("temp"), expected);
        for (const std::string& name : outside)
            EXPECT_EQ(fs::exists(name), c == 2 || name.ends_with(".lex")) << name;
        EXPECT_EQ(InstanceMarker::count(settings()), c == 2 ? 2 : 0);
    }
}

}  // namespace
}  // namespace zantric
