# The 64-bit half: configured by the 32-bit build (see the top CMakeLists.txt)
# with TANDREL_BIN_DIR, where every program lands beside Tandrel64.exe, and
# TANDREL_EMULATOR, which runs the test programs under Wine.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY "${TANDREL_BIN_DIR}")
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY "${TANDREL_BIN_DIR}")
set(CMAKE_CROSSCOMPILING_EMULATOR "${TANDREL_EMULATOR}")
add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601)

enable_testing()
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
include(GoogleTest)

add_subdirectory(driver)
add_subdirectory(demo)
add_subdirectory(tests/win64)
add_subdirectory(tests/driver)
add_subdirectory(tests/fuzz)
add_subdirectory(bench)
