# Makes the header of string-table ids from resources/strings.txt (its header comment gives the
# format): one `inline constexpr int kStr... = id;` per named entry.
#   cmake -DIN=strings.txt -DOUT=string_ids.h -P string_ids.cmake
# An entry of another shape, an id not above the one before it, or a name used twice stops the
# build with the line at fault.
cmake_minimum_required(VERSION 3.25)
file(READ "${IN}" content)
# Only the id and name columns are read: the texts may hold ';' or brackets, which CMake lists
# would split or keep together, so those go before the lines become a list.
string(REGEX REPLACE "[];[]" "_" content "${content}")
string(REPLACE "\n" ";" lines "${content}")

set(body "")
set(names "")
set(previous -1)
set(number 0)
foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    string(REGEX REPLACE "\r$" "" line "${line}")
    if(line STREQUAL "" OR line MATCHES "^#")
        continue()
    endif()
    if(NOT line MATCHES "^([0-9]+)\t(-|kStr[A-Za-z0-9]+)\t")
        message(FATAL_ERROR "${IN}:${number}: not \"id TAB name TAB text\" (name: kStr... or -)")
    endif()
    set(id ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    if(NOT id GREATER previous)
        message(FATAL_ERROR "${IN}:${number}: id ${id} is not above the id before it")
    endif()
    set(previous ${id})
    if(name STREQUAL "-")
        continue()
    endif()
    if(name IN_LIST names)
        message(FATAL_ERROR "${IN}:${number}: the name ${name} is taken already")
    endif()
    list(APPEND names ${name})
    string(APPEND body "inline constexpr int ${name} = ${id};\n")
endforeach()

file(WRITE "${OUT}.tmp"
     "// Made by the build from resources/strings.txt (cmake/string_ids.cmake): the ids of the\n"
     "// string table's named texts, for loadString and messageBox. Edit the table, not this file.\n"
     "#pragma once\n\nnamespace zantric {\n\n${body}\n}  // namespace zantric\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
