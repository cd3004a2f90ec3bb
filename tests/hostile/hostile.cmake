# The tests' hostile process against single-instance mode (tests/hostile).
add_executable(orvo_hostile_instance ${CMAKE_SOURCE_DIR}/tests/hostile/hostile_instance.cpp)
target_link_options(orvo_hostile_instance PRIVATE -municode)
set_target_properties(orvo_hostile_instance PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/hostile)
add_dependencies(orvo_e2e_tests orvo_hostile_instance)
orvo_windows_path(ORVO_HOSTILE_INSTANCE_WIN "${CMAKE_BINARY_DIR}/hostile/orvo_hostile_instance.exe")
set_property(TEST e2e-${ORVO_ARCH} APPEND PROPERTY ENVIRONMENT "ORVO_HOSTILE_INSTANCE=${ORVO_HOSTILE_INSTANCE_WIN}")
