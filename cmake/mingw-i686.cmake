# The shipped 32-bit build. Its tests run as 32-bit code under the WoW64 Wine of a chroot, with
# the same locale as the 64-bit build's.
set(MARUPO_MINGW_PROCESSOR i686)
set(MARUPO_MINGW_TEST_RUNNER wow64-run)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
