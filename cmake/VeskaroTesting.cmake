find_package(GTest REQUIRED)
include(GoogleTest)
# Once for every Qt Test suite below; a build without the window has none.
if(VESKARO_GUI)
    find_package(Qt6 REQUIRED COMPONENTS Test Widgets)
endif()

# The drive the test programs see the build machine's files on: Wine shows its root as Z:, and a path
# without a drive would count as relative on Windows.
set(VESKARO_TEST_DRIVE "")
if(WIN32 AND CMAKE_CROSSCOMPILING)
    set(VESKARO_TEST_DRIVE "Z:")
endif()
set(VESKARO_TEST_DATA_DIR "${VESKARO_TEST_DRIVE}${PROJECT_SOURCE_DIR}/tests/data")

# veskaro_add_gtest(name source...): one GoogleTest executable over the core, every test
# registered with CTest. In a cross build each executable is one CTest test instead: every start of a
# program under the emulator (Wine) costs about a second, which a suite of hundreds of tests would pay
# hundreds of times; the suite's own output still names each test that failed.
function(veskaro_add_gtest name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE veskaro_core veskaro_test_support GTest::gtest GTest::gtest_main
                                          veskaro_warnings)
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
        set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 900)
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)
    endif()
endfunction()

# veskaro_add_qtest(name source...): one Qt Test executable that drives the real designer window without
# a screen. Each test points the per-user folders at a temporary folder itself (PerUserFolders).
function(veskaro_add_qtest name)
    add_executable(${name} ${ARGN})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE veskaro_gui veskaro_test_support veskaro_gui_test_support Qt6::Test
                                          veskaro_warnings)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS gui ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# veskaro_run_beside_data(target): builds a test program beside the shipped data files, as the programs
# are, for suites that need the slider scripts.
function(veskaro_run_beside_data target)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}/bin")
    add_dependencies(${target} veskaro_data)
endfunction()
