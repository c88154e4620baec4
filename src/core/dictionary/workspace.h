// Workspace: what an operation of the core works with in one run of the program: the settings
// read from the program's folder, the catalogue of its dictionaries and the prompter of the
// program that runs it (message boxes in the window, stderr lines in the command line, a
// recorder in tests). The program session owns the first two and hands a Workspace down; an
// operation that needs only one of them takes that one alone. A value of three references: it
// lives no longer than the session that made it.
#pragma once

#include "core/dictionary/catalogue.h"
#include "core/shell/messages.h"
#include "core/shell/settings.h"

namespace zantric {

struct Workspace {
    const Settings& settings;
    Catalogue& catalogue;
    Prompter& prompter;
};

}  // namespace zantric
