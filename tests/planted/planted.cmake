# The planted library (tests/planted/planted_dll.cpp), built for this architecture;
# the tests plant it under system-library names and look for its marker files.
add_library(planted_dll SHARED ${CMAKE_SOURCE_DIR}/tests/planted/planted_dll.cpp)
set_target_properties(planted_dll PROPERTIES OUTPUT_NAME planted PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted-import)
add_dependencies(orvo_unit_tests planted_dll)
add_dependencies(orvo_e2e_tests planted_dll)

# A native library of a Java program (needs_path_helper.dll) and the library it
# imports (orvo_path_helper.dll), which only a search of Path finds. Beside planted.dll.
add_library(path_helper_dll SHARED ${CMAKE_SOURCE_DIR}/tests/planted/path_helper.cpp)
add_library(needs_path_helper_dll SHARED ${CMAKE_SOURCE_DIR}/tests/planted/needs_path_helper.cpp)
target_link_libraries(needs_path_helper_dll PRIVATE path_helper_dll)
set_target_properties(path_helper_dll PROPERTIES OUTPUT_NAME orvo_path_helper)
set_target_properties(needs_path_helper_dll PROPERTIES OUTPUT_NAME needs_path_helper)
set_target_properties(path_helper_dll needs_path_helper_dll PROPERTIES PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted-import)
add_dependencies(orvo_e2e_tests path_helper_dll needs_path_helper_dll)

# Each test program finds this build's copy and the paired build's (a 64-bit runtime
# loads its libraries into the 64-bit launcher, whichever launcher was started).
orvo_windows_path(ORVO_PLANTED_DLL_WIN "${CMAKE_BINARY_DIR}/planted/planted.dll")
set(ORVO_PAIR_PLANTED_DLL_WIN "")
if(ORVO_PAIR_LAUNCHER)
  get_filename_component(ORVO_PAIR_BUILD_DIR "${ORVO_PAIR_LAUNCHER}" DIRECTORY)
  orvo_windows_path(ORVO_PAIR_PLANTED_DLL_WIN "${ORVO_PAIR_BUILD_DIR}/planted/planted.dll")
endif()
set_property(TEST unit-${ORVO_ARCH} e2e-${ORVO_ARCH} APPEND PROPERTY ENVIRONMENT
  "ORVO_PLANTED_DLL=${ORVO_PLANTED_DLL_WIN}"
  "ORVO_PAIR_PLANTED_DLL=${ORVO_PAIR_PLANTED_DLL_WIN}")
