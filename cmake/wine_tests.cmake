# Test programs built for Windows run under Wine, in a Wine prefix of the build's own. One Wine
# server stays up from the first test to the last, so that each program starts in a fraction
# of a second; the prefix is made on the first run (about ten seconds).
#
# Wine takes the system's time zone from TZ. Berlin is the system zone of these runs: the
# tests that need Berlin's rules find them through the system's setting, as a Windows user's
# program does, and the others set TZ in the C library's own form.

if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    message(FATAL_ERROR
        "The Windows tests run under Wine: install wine64 (scripts/install-deps.sh --windows)")
endif()
get_filename_component(wine_dir ${CMAKE_CROSSCOMPILING_EMULATOR} DIRECTORY)
find_program(MARMOSET_WINESERVER NAMES wineserver64 wineserver PATHS ${wine_dir} REQUIRED)
set(wine_environment
    "WINEPREFIX=${CMAKE_BINARY_DIR}/wine"
    "WINEDEBUG=-all"
    # No installers for .NET or the HTML engine while the prefix is made.
    "WINEDLLOVERRIDES=mscoree,mshtml="
    "TZ=Europe/Berlin")

# The server and the prefix's services outlive the command that starts them: their output goes
# to wine.log beside the prefix, not to ctest, which would wait for it to close.
add_test(NAME wine_start
    COMMAND sh -c "mkdir -p \"$WINEPREFIX\" && exec >\"$WINEPREFIX.log\" 2>&1 && { \"$0\" -p || true; } && \"$1\" wineboot -i"
        ${MARMOSET_WINESERVER} ${CMAKE_CROSSCOMPILING_EMULATOR})
add_test(NAME wine_stop COMMAND ${MARMOSET_WINESERVER} -k)
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${wine_environment}")
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "${wine_environment}")

# ctest entries for a GoogleTest program: the program's tests in `count` shards.
function(marmoset_wine_shards target count)
    math(EXPR last "${count} - 1")
    foreach(index RANGE ${last})
        set(name ${target}_shard${index})
        add_test(NAME ${name} COMMAND ${target})
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT
            "${wine_environment};GTEST_TOTAL_SHARDS=${count};GTEST_SHARD_INDEX=${index}")
    endforeach()
endfunction()
