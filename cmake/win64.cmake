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
add_subdirectory(mng)
add_subdirectory(slottest)

# The test harness, built again for the 64-bit test programs.
set(harness "${PROJECT_SOURCE_DIR}/tests/harness")
add_library(test_harness64 STATIC
    "${harness}/drivers32_values.cpp" "${harness}/message_box_probe.cpp" "${harness}/process_use.cpp"
    "${harness}/settings_files.cpp" "${harness}/test_process.cpp" "${harness}/tool_folder.cpp" "${PROJECT_SOURCE_DIR}/tests/codec/test_codec_script.cpp")
target_include_directories(test_harness64 PUBLIC "${PROJECT_SOURCE_DIR}" "${harness}"
    "${PROJECT_SOURCE_DIR}/tests/codec")
target_link_libraries(test_harness64 PUBLIC driver_channel psapi shell32)

add_subdirectory(tests/win64)
add_subdirectory(tests/driver)
add_subdirectory(tests/clients)
add_subdirectory(tests/fuzz)
add_subdirectory(bench)
add_subdirectory(tests/mng)
add_subdirectory(tests/slottest)

# Last: the installer packs the programs of both halves, this half's driver
# among them, and is built only when that target exists.
add_subdirectory(installer)
add_subdirectory(tests/installer)
