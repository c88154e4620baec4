# Fails when src/core holds state outside the objects that own it: a singleton (`instance()`), a
# thread_local, a namespace-scope variable that is not const, or a static local that is not
# const. The allow-list below names the few that remain, each with the change that removes it.
#   cmake -DSOURCE_DIR=<repository> [-DALLOW=OFF] -P core_state_test.cmake
# With ALLOW=OFF every finding is listed (a count for the record) and the script does not fail.
cmake_minimum_required(VERSION 3.25)

# "file:text" pairs: a finding in that file (* for any) whose line contains the text is allowed.
set(allowed
    # The count format the window installs for the texts the core still builds.
    "shell/string_table.cpp:g_countFormat"
    # The lock of the process's writes to ini files: every thread of the process shares it.
    "shell/profile.cpp:gWriteMutex")

set(findings "")
file(GLOB_RECURSE files "${SOURCE_DIR}/src/core/*.h" "${SOURCE_DIR}/src/core/*.cpp")
foreach(file IN LISTS files)
    file(RELATIVE_PATH path "${SOURCE_DIR}/src/core" "${file}")
    # One list item a line: the characters CMake lists treat specially become @S@, @L@, @R@.
    file(READ "${file}" content)
    string(REPLACE ";" "@S@" content "${content}")
    string(REPLACE "[" "@L@" content "${content}")
    string(REPLACE "]" "@R@" content "${content}")
    string(REPLACE "\n" ";" lines "${content}")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "[ \t]*//.*" "" code "${line}")
        string(REGEX REPLACE "^alignas\\([0-9]+\\) " "" code "${code}")
        set(what "")
        if(code MATCHES "^[ \t]*$")
            continue()
        elseif(code MATCHES "[ :]instance\\(\\)")
            set(what "singleton")
        elseif(code MATCHES "thread_local")
            set(what "thread_local")
        elseif(code MATCHES "^[ \t]+static " AND NOT code MATCHES "static (constexpr|const |inline constexpr)")
            # A static member function is declared with its parameters before any '=' or '{'.
            string(REGEX REPLACE "\\(.*" "" head "${code}")
            if(head MATCHES "[={]" OR NOT code MATCHES "\\(")
                set(what "static local or member")
            endif()
        elseif(code MATCHES "^[A-Za-z_][A-Za-z0-9_:<>, *&]* [A-Za-z_][A-Za-z0-9_]*(@L@[^@]*@R@)? *([{=][^(]*)?@S@$"
               AND NOT code MATCHES "^(const|constexpr|inline constexpr|using|namespace|class|struct|enum|friend|typedef|return|extern|template|static const|static constexpr) ")
            set(what "namespace-scope variable")
        endif()
        if(what STREQUAL "")
            continue()
        endif()
        set(ok FALSE)
        if(NOT ALLOW STREQUAL "OFF")
            foreach(entry IN LISTS allowed)
                string(FIND "${entry}" ":" colon)
                string(SUBSTRING "${entry}" 0 ${colon} entryFile)
                math(EXPR textStart "${colon} + 1")
                string(SUBSTRING "${entry}" ${textStart} -1 entryText)
                string(FIND "${code}" "${entryText}" at)
                if((path STREQUAL entryFile OR entryFile STREQUAL "*") AND NOT at EQUAL -1)
                    set(ok TRUE)
                endif()
            endforeach()
        endif()
        if(NOT ok)
            string(STRIP "${code}" shown)
            string(REPLACE "@S@" "" shown "${shown}")
            string(REPLACE "@L@" "[" shown "${shown}")
            string(REPLACE "@R@" "]" shown "${shown}")
            list(APPEND findings "${path}: ${what}: ${shown}")
        endif()
    endforeach()
endforeach()

list(LENGTH findings count)
if(ALLOW STREQUAL "OFF")
    list(JOIN findings "\n" text)
    message("${text}\n${count} findings")
elseif(findings)
    list(JOIN findings "\n" text)
    message(FATAL_ERROR "State outside its owners in src/core (pass it down instead):\n${text}")
endif()
