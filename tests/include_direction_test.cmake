# Fails when a file includes a header of a module above its own. The table below is the one
# statement of the allowed directions; CMake links each core module to the ones it names, and
# zantric-cli and zantric_gui link the whole core.
#   cmake -DSOURCE_DIR=<repository> -P include_direction_test.cmake
cmake_minimum_required(VERSION 3.25)

# Each module, and the modules whose headers its files may include besides its own.
set(modules shell dictionary sort session maintenance results search ranking cli gui)
set(allowed_shell "")
set(allowed_dictionary shell)
set(allowed_sort shell dictionary)
set(allowed_session shell dictionary)
set(allowed_maintenance shell dictionary sort session)
set(allowed_results shell)
set(allowed_search shell dictionary sort results)
set(allowed_ranking shell dictionary sort results search)
set(allowed_cli shell dictionary sort session maintenance results search ranking)
set(allowed_gui shell dictionary sort session maintenance results search ranking)

# A file's module: src/core/<module>/..., src/cli/..., src/gui/...; an include's module is read the
# same way from "core/<module>/...", "cli/...", "gui/...".
set(faults "")
file(GLOB_RECURSE files "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp")
foreach(file IN LISTS files)
    file(RELATIVE_PATH path "${SOURCE_DIR}/src" "${file}")
    if(path MATCHES "^core/([a-z_]+)/")
        set(module ${CMAKE_MATCH_1})
    elseif(path MATCHES "^(cli|gui)/")
        set(module ${CMAKE_MATCH_1})
    else()
        continue()
    endif()
    if(NOT module IN_LIST modules)
        list(APPEND faults "${path}: module ${module} is not in the table")
        continue()
    endif()
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
        if(line MATCHES "\"core/([a-z_]+)/")
            set(target ${CMAKE_MATCH_1})
        elseif(line MATCHES "\"(cli|gui)/")
            set(target ${CMAKE_MATCH_1})
        else()
            continue()
        endif()
        if(NOT target STREQUAL module AND NOT target IN_LIST allowed_${module})
            string(STRIP "${line}" line)
            list(JOIN allowed_${module} ", " below)
            if(below STREQUAL "")
                set(below "no other module")
            endif()
            list(APPEND faults "${path}: ${line} (${module} may include only: ${below})")
        endif()
    endforeach()
endforeach()

# The core shows nothing and knows no window: its messages travel to the caller (a Message in an
# outcome, or a question through the Prompter the caller passes), and only src/gui and src/cli
# show them. A message-box call, a window handle or a style number of the old message-box API
# in src/core is a fault.
set(shown "")
file(GLOB_RECURSE core_files "${SOURCE_DIR}/src/core/*.h" "${SOURCE_DIR}/src/core/*.cpp")
foreach(file IN LISTS core_files)
    file(RELATIVE_PATH path "${SOURCE_DIR}/src" "${file}")
    file(STRINGS "${file}" lines REGEX
         "messageBox|MessageBox|reportException\\(|void\\* *owner|QMessageBox|kMb[A-Z]|kId(Ok|Yes|No|Cancel)[^A-Za-z]")
    foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        list(APPEND shown "${path}: ${line}")
    endforeach()
endforeach()

if(faults)
    list(JOIN faults "\n" text)
    message(FATAL_ERROR "Includes against the direction of the modules:\n${text}")
endif()
if(shown)
    list(JOIN shown "\n" text)
    message(FATAL_ERROR "Message boxes or window handles in the core:\n${text}")
endif()
