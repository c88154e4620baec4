// The instance marker of a running copy, the marker count that guards the dictionary-changing
// commands, and the start-up clean-up of temporary files left behind by earlier copies.
#include "core/maintenance/instance_marker.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/maintenance/startup_cleanup.h"
#include "core/shell/temp_names.h"
#include "core/shell/zantric_exception.h"
#include "maintenance_test_support.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using InstanceMarkerTest = test::MaintenanceTest;

// The marker lives with the object; a copy that cannot make one is told why.
TEST_F(InstanceMarkerTest, MarkerLivesWithTheObject) {
    {
        InstanceMarker marker;
        EXPECT_EQ(marker.path(), ".\\temp\\" + tempBaseName() + ".zti");
        EXPECT_EQ(filesIn("temp"), test::Words{tempBaseName() + ".zti"});
        // A second copy started within the same second takes a marker of its own.
        InstanceMarker sameSecond;
        EXPECT_EQ(sameSecond.path(), ".\\temp\\" + tempBaseName() + "_1.zti");
        EXPECT_EQ(InstanceMarker::count(), 2);
    }
    EXPECT_TRUE(filesIn("temp").empty());
    fs::remove_all("temp");
    try {
        InstanceMarker marker;
        FAIL() << "no exception";
    } catch (const ZantricException& e) {
        EXPECT_EQ(e.message(), "Unable to open Instance Marker File: " +
                                   shownPath("temp/" + tempBaseName() + ".zti"));
    }
}

// What the start-up clean-up deletes, depending on whether another copy runs.
TEST_F(InstanceMarkerTest, StartupCleanupDeletesLeftoversOnlyWhenNoOtherCopyRuns) {
    const std::vector<std::string> leftovers = {"$$1abcde.$$$",  "$$1abcde.zix", "$$1abcde.MM_",
                                                "$$1abcde.0",    "$$1abcde.1f",  "$$1abcde.zti",
                                                "$$noextension", "sortrun.$$$"};
    const std::vector<std::string> others = {"keep.txt", "x$$1abcde.zix", "results.ztr"};
    struct Case {
        const char* what;
        bool otherCopyRuns;
        bool staleMarker;
    };
    for (const Case& c :
         {Case{"no other copy", false, false}, Case{"marker of a copy that ended", false, true},
          Case{"another copy runs", true, false}}) {
        SCOPED_TRACE(c.what);
        fresh();
        for (const std::string& name : leftovers) test::TempFolder::write("temp/" + name, "x");
        for (const std::string& name : others) test::TempFolder::write("temp/" + name, "x");
        if (c.staleMarker) test::TempFolder::write("temp/$$zz.zti", "");
        // A word rewrite, copies staged beside dictionaries and saved results, a half-written
        // ini: left by a copy that ended abruptly.
        const std::vector<std::string> outside = {"new{}}{.$$$", "lexicons/new{}}{.$$$",
                                                  "files/new{}}{.$$$", "zantric.ini.tmp123"};
        for (const std::string& name : outside) test::TempFolder::write(name, "x");
        test::TempFolder::write("lexicons/$$1abcde.lex", "x");
        std::unique_ptr<InstanceMarker> running;
        if (c.otherCopyRuns) running = std::make_unique<InstanceMarker>();

        EXPECT_EQ(deleteLeftoverTempFiles(), !c.otherCopyRuns);

        std::vector<std::string> expected = others;
        if (c.otherCopyRuns) {
            expected.insert(expected.end(), leftovers.begin(), leftovers.end());
            expected.push_back(namePart(running->path()));
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(filesIn("temp"), expected);
        for (const std::string& name : outside)
            EXPECT_EQ(fs::exists(name), c.otherCopyRuns) << name;
        EXPECT_TRUE(fs::exists("lexicons/$$1abcde.lex")) << "a dictionary is never a leftover";
        EXPECT_EQ(InstanceMarker::count(), c.otherCopyRuns ? 2 : 0);
    }
}

}  // namespace
}  // namespace zantric
