# The Windows build's tests, run here under Wine: the tests that need no
# window system, and a smoke of the zip's program on Xvfb.

# The host build that made the texture files the zip holds, and whose
# program draws the picture the Windows one must match.
set(TENEBREL_HOST_BUILD ${CMAKE_SOURCE_DIR}/build CACHE PATH
    "The Linux build beside this one (tools/test.sh makes it first)")
target_compile_definitions(test_bmp PRIVATE TENEBREL_TEXTURE_DIR="Z:${TENEBREL_HOST_BUILD}")

# One Wine prefix for the whole test run, made fresh by its first test
# (about 11 s) and ended with the run: every test then starts from the same
# clean state, and no prefix of the user's is touched. No .NET or browser
# engine is installed into it; nothing here needs them.
set(WINE_PREFIX ${CMAKE_CURRENT_BINARY_DIR}/wine-prefix)
set(WINE_ENVIRONMENT WINEPREFIX=${WINE_PREFIX} WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml=")
add_test(NAME wine_prefix COMMAND sh -c
    "rm -rf \"$WINEPREFIX\" && \"$0\" wineboot -i && \"$1\" -w" ${WINE64} ${WINESERVER})
add_test(NAME wine_prefix_end COMMAND sh -c
    "\"$0\" -k; rm -rf \"$WINEPREFIX\"" ${WINESERVER})
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine_prefix_end PROPERTIES FIXTURES_CLEANUP wine)

# It tests the zip that tools/package-win64.sh made last. Alone in this
# suite: the prefix's Wine server keeps the display (and screen size) of the
# program that started it until it ends, so no other test may start a
# program under Wine beside it.
add_test(NAME test_program_win64
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/program/test_wine.py
        ${CMAKE_BINARY_DIR}/tenebrel-${PROJECT_VERSION}-win64.zip ${TENEBREL_HOST_BUILD})
set_tests_properties(test_program_win64 PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)

set_tests_properties(wine_prefix wine_prefix_end test_shell test_options test_scene_logic test_bmp
    test_program_win64 PROPERTIES ENVIRONMENT "${WINE_ENVIRONMENT}")
set_tests_properties(test_shell test_options test_scene_logic test_bmp test_program_win64
    PROPERTIES FIXTURES_REQUIRED wine)
