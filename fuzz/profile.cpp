// Fuzz target: the ini file reader and writer over any bytes. The input is the whole ini file.
// Reading never fails (a damaged file only reads wrongly), a value written reads back as
// written, and a write leaves the values of other sections as they were.
#include "core/shell/profile.h"

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zantric;
    fuzz::enterScratchFolder();
    const std::string ini = "fuzz.ini";
    test::TempFolder::write(ini, {reinterpret_cast<const char*>(data), size});

    const std::string files = profileString("PATHS", "FILES", ".\\files", ini);
    fuzz::expect(files.size() < kProfileBufferSize, "a text read fits the read buffer");
    profileInt("SETTINGS", "Tab Size", 6, ini);
    profileInt("WINDOW POSITION", "Left", -1, ini);
    const std::string font = profileString("FONT", "Face Name", "", ini);
    profileString("", "", "empty", ini);

    if (!writeProfileString("SETTINGS", "Tab Size", "7", ini)) return 0;
    fuzz::expect(profileInt("SETTINGS", "Tab Size", 6, ini) == 7, "a written value reads back");
    fuzz::expect(profileString("PATHS", "FILES", ".\\files", ini) == files,
                 "a write leaves another section's value");
    if (!writeProfileString("FONT", "Face Name", "Noto Sans", ini)) return 0;
    fuzz::expect(profileString("FONT", "Face Name", "", ini) == "Noto Sans",
                 "a value with a space reads back");
    fuzz::expect(profileInt("SETTINGS", "Tab Size", 6, ini) == 7,
                 "a write leaves the value written before");
    return 0;
}
