# Included once by tests/CMakeLists.txt: builds the driver library and provides
# wizard_test() for the programs that drive setup.exe from outside.
set(driver_dir ${CMAKE_CURRENT_LIST_DIR})
add_library(wizarddriver STATIC
    ${driver_dir}/driver_main.cpp ${driver_dir}/files.cpp ${driver_dir}/local.cpp
    ${driver_dir}/process.cpp ${driver_dir}/typical_walk.cpp ${driver_dir}/windows.cpp
    ${driver_dir}/wizard_test.cpp)
target_include_directories(wizarddriver PUBLIC ${driver_dir} ${CMAKE_SOURCE_DIR})
target_compile_options(wizarddriver PRIVATE -Wall -Wextra)
target_compile_definitions(wizarddriver PRIVATE DRIVER_MEDIUM_DIR="${CMAKE_BINARY_DIR}/medium")
target_link_libraries(wizarddriver PUBLIC testsupport gtest user32 gdi32 advapi32 kernel32)

# wizard_test(<name> SOURCES <files...>) builds test program <name> (its own main runs
# the driver's set-up), and adds CTest entry <name>. Further entries running the same
# program with a different environment: wizard_test_entry(<entry> <program> <VAR=value>...).
# Entries never run beside each other (RESOURCE_LOCK wizard) and can read the relay
# trace of the setup.exe they start (run-traced.sh).
function(wizard_test name)
  cmake_parse_arguments(W "" "" "SOURCES" ${ARGN})
  add_executable(${name} ${W_SOURCES})
  target_link_libraries(${name} PRIVATE wizarddriver)
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  target_link_options(${name} PRIVATE ${STATIC_LINK})
  add_dependencies(${name} medium)
  wizard_test_entry(${name} ${name})
endfunction()

function(wizard_test_entry entry program)
  add_test(NAME ${entry}
           COMMAND bash ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/run-traced.sh
                   ${CMAKE_BINARY_DIR}/wine-run $<TARGET_FILE:${program}>)
  set_tests_properties(${entry} PROPERTIES RESOURCE_LOCK wizard TIMEOUT 900)
  if(ARGN)
    set_tests_properties(${entry} PROPERTIES ENVIRONMENT "${ARGN}")
  endif()
endfunction()
