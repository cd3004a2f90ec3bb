# The tests' Ctrl+C at a console (tests/console).
add_executable(orvo_console_interrupter ${CMAKE_SOURCE_DIR}/tests/console/console_interrupter.cpp)
target_link_options(orvo_console_interrupter PRIVATE -municode)
set_target_properties(orvo_console_interrupter PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/console)
add_dependencies(orvo_e2e_tests orvo_console_interrupter)
orvo_windows_path(ORVO_CONSOLE_INTERRUPTER_WIN "${CMAKE_BINARY_DIR}/console/orvo_console_interrupter.exe")
set_property(TEST e2e-${ORVO_ARCH} APPEND PROPERTY ENVIRONMENT "ORVO_CONSOLE_INTERRUPTER=${ORVO_CONSOLE_INTERRUPTER_WIN}")
