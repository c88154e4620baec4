// zantric: the window program over the core library.
#include <cstdio>
#include <cstring>
#include <string>

#include "gui/zantric_app.h"
#include "zantric_version.h"

namespace {

void usage() {
    std::fputs(
        "Usage: zantric [-C DIR] [--minimised]\n"
        "       zantric --help | --version\n"
        "  -C DIR        work in this program folder, which must exist (default:\n"
        "                $ZANTRIC_HOME, the current folder if it holds zantric.ini, else\n"
        "                $XDG_DATA_HOME/zantric)\n"
        "  --minimised   open the window minimised\n",
        stdout);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            usage();  // before Qt, which needs a display
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("zantric " ZANTRIC_VERSION);
            return 0;
        }
    }
    zantric::gui::ZantricApp app(argc, argv);  // takes Qt's own arguments out
    std::string folder;
    bool minimised = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-C") == 0 && i + 1 < argc) {
            folder = argv[++i];
        } else if (std::strcmp(argv[i], "--minimised") == 0) {
            minimised = true;
        } else {
            std::fprintf(stderr, "zantric: unknown argument %s\n", argv[i]);
            usage();
            return 2;
        }
    }
    if (!app.start(folder, minimised)) return 1;
    const int status = app.exec();
    app.shutDown();
    return status;
}
