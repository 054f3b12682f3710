find_package(GTest REQUIRED)
include(GoogleTest)

set(VESKARO_TEST_DATA_DIR "${PROJECT_SOURCE_DIR}/tests/data")

# veskaro_add_gtest(name source...): one GoogleTest executable over the core, every test
# registered with CTest.
function(veskaro_add_gtest name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE veskaro_core veskaro_test_support GTest::gtest GTest::gtest_main
                                          veskaro_warnings)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)
endfunction()
