# The 64-bit build of the same sources. Its tests run under Wine with a Japanese (code page 932)
# locale.
set(MARUPO_MINGW_PROCESSOR x86_64)
set(MARUPO_MINGW_TEST_RUNNER wine-run)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
