# qel_library(NAME DEPS...): a static library of every .cpp/.h in the calling folder.
function(qel_library name)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
         ${CMAKE_CURRENT_SOURCE_DIR}/*.inc)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# qel_tests(DEPS...): one test executable per test_*.cpp in the calling folder, run by CTest
# headless with a private runtime folder (the test main gives each test its own HOME).
function(qel_tests)
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp)
    get_filename_component(area ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    foreach(test_source ${tests})
        get_filename_component(test_name ${test_source} NAME_WE)
        set(target ${area}_${test_name})
        add_executable(${target} ${test_source})
        target_link_libraries(${target} PRIVATE qel_test_support Qt6::Test ${ARGN})
        add_test(NAME ${area}.${test_name} COMMAND ${target})
        set_tests_properties(${area}.${test_name} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QEL_TEST_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
            TIMEOUT 300)
    endforeach()
endfunction()
