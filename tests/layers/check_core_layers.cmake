cmake_policy(SET CMP0057 NEW)  # if(IN_LIST)

# Fails when a file of the core includes a header from a folder that stands above its own.
# The core's folders, lowest first:
#
#   calendar/            civil-date arithmetic and the local-time type
#   tasks/               the task file, its lines, the commands and the sorts
#   reminder/ editor/    the poll and its rules; the editor's rules (side by side, neither
#                        knows the other)
#   ical/                iCalendar export and import (its own library, linking libical)
#
# A file may include its own folder, any core folder below it and the program's texts
# (res/strings.h, plain constants). Anything else, a window or platform folder included, is an
# arrow the wrong way.
#
#   cmake -DSOURCE_DIR=<repository> -DCORE_SOURCES=<file listing the core's sources> -P <this>

set(levels calendar 0 tasks 1 reminder 2 editor 2 ical 3)
set(shared_headers res/strings.h)

function(level_of folder out)
    list(FIND levels ${folder} at)
    if(at EQUAL -1)
        set(${out} "" PARENT_SCOPE)
    else()
        math(EXPR at "${at} + 1")
        list(GET levels ${at} level)
        set(${out} ${level} PARENT_SCOPE)
    endif()
endfunction()

file(STRINGS ${CORE_SOURCES} sources)
set(wrong "")
foreach(source IN LISTS sources)
    file(RELATIVE_PATH relative ${SOURCE_DIR}/src ${source})
    string(REGEX MATCH "^[^/]+" folder ${relative})
    level_of(${folder} own)
    if(own STREQUAL "")
        string(APPEND wrong "  src/${relative}: a core file outside the core's folders\n")
        continue()
    endif()
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" header "${line}")
        if(header IN_LIST shared_headers)
            continue()
        endif()
        string(REGEX MATCH "^[^/]+/" prefix "${header}")
        string(REGEX REPLACE "/$" "" other "${prefix}")
        if(other STREQUAL folder)
            continue()
        endif()
        set(other_level "")
        if(NOT other STREQUAL "")
            level_of(${other} other_level)
        endif()
        if(other_level STREQUAL "" OR NOT other_level LESS own)
            string(APPEND wrong "  src/${relative} includes \"${header}\"\n")
        endif()
    endforeach()
endforeach()

if(wrong)
    message(FATAL_ERROR "The core includes upwards or sideways:\n${wrong}"
        "calendar/ stands below tasks/, which stands below reminder/ and editor/, and those below "
        "ical/.")
endif()
list(LENGTH sources count)
message(STATUS "${count} core files include only their own folder and the folders below it")
