# orvo-pack and its unit tests, for the tree that includes this file: the native one
# (tools/orvo-pack/CMakeLists.txt) or a MinGW tree of the launcher, whose end-to-end
# tests run the Windows build of the tool.
set(ORVO_PACK_DIR ${CMAKE_CURRENT_LIST_DIR})
get_filename_component(ORVO_PACK_ROOT ${ORVO_PACK_DIR}/../.. ABSOLUTE)

file(GLOB ORVO_PACK_SOURCES CONFIGURE_DEPENDS ${ORVO_PACK_DIR}/src/*.cpp)
list(REMOVE_ITEM ORVO_PACK_SOURCES ${ORVO_PACK_DIR}/src/main.cpp)
# The launcher's own pure code for the embedded configuration (its format and the
# syntax the launcher reads it with), its UTF-8 encoder and its reader of PE headers.
add_library(orvo_pack_core STATIC ${ORVO_PACK_SOURCES}
  ${ORVO_PACK_ROOT}/src/config/config_overlay.cpp
  ${ORVO_PACK_ROOT}/src/config/embedded_config_text.cpp
  ${ORVO_PACK_ROOT}/src/foundation/modified_utf8.cpp
  ${ORVO_PACK_ROOT}/src/foundation/pe_headers.cpp
  ${ORVO_PACK_ROOT}/src/foundation/utf8_text.cpp)
target_include_directories(orvo_pack_core PUBLIC ${ORVO_PACK_DIR}/src ${ORVO_PACK_ROOT}/src)

add_executable(orvo_pack ${ORVO_PACK_DIR}/src/main.cpp)
set_target_properties(orvo_pack PROPERTIES OUTPUT_NAME orvo-pack)
target_link_libraries(orvo_pack PRIVATE orvo_pack_core)

file(GLOB ORVO_PACK_TEST_SOURCES CONFIGURE_DEPENDS ${ORVO_PACK_DIR}/tests/*.cpp)
list(REMOVE_ITEM ORVO_PACK_TEST_SOURCES ${ORVO_PACK_DIR}/tests/pack_test_inputs.cpp)
add_executable(orvo_pack_tests ${ORVO_PACK_TEST_SOURCES} ${ORVO_PACK_ROOT}/tests/support/gtest_main.cpp)
target_include_directories(orvo_pack_tests PRIVATE ${ORVO_PACK_DIR}/tests)
target_link_libraries(orvo_pack_tests PRIVATE orvo_pack_core gtest)

set(ORVO_PACK_TEST_TMP ${CMAKE_BINARY_DIR}/pack-test-tmp)
file(MAKE_DIRECTORY ${ORVO_PACK_TEST_TMP})
if(CMAKE_CROSSCOMPILING)
  target_link_options(orvo_pack PRIVATE -municode)
  target_link_options(orvo_pack_tests PRIVATE -municode)
  add_test(NAME unit-pack-${ORVO_ARCH} COMMAND ${ORVO_WINE} $<TARGET_FILE:orvo_pack_tests>)
  set_tests_properties(unit-pack-${ORVO_ARCH} PROPERTIES WORKING_DIRECTORY ${ORVO_PACK_TEST_TMP} TIMEOUT 300)
  add_dependencies(orvo_e2e_tests orvo_pack)
  # The system's readers of what orvo-pack writes: version, checksum and certificates.
  target_link_libraries(orvo_e2e_tests PRIVATE version imagehlp)
  orvo_windows_path(ORVO_PACK_TOOL_WIN "${CMAKE_BINARY_DIR}/orvo-pack.exe")
  orvo_windows_path(ORVO_SAMPLE_ICON_WIN "${ORVO_PACK_ROOT}/samples/hello/hello.ico")
  set_property(TEST e2e-${ORVO_ARCH} APPEND PROPERTY ENVIRONMENT
    "ORVO_PACK_TOOL=${ORVO_PACK_TOOL_WIN}" "ORVO_SAMPLE_ICON=${ORVO_SAMPLE_ICON_WIN}")
else()
  # The tests' inputs as files, for the Java packer's comparison with this one.
  add_executable(orvo_pack_test_inputs ${ORVO_PACK_DIR}/tests/pack_test_inputs.cpp ${ORVO_PACK_DIR}/tests/test_files.cpp)
  target_include_directories(orvo_pack_test_inputs PRIVATE ${ORVO_PACK_DIR}/tests)
  target_link_libraries(orvo_pack_test_inputs PRIVATE orvo_pack_core)
  add_test(NAME native-pack COMMAND orvo_pack_tests)
  set_tests_properties(native-pack PROPERTIES WORKING_DIRECTORY ${ORVO_PACK_TEST_TMP} TIMEOUT 300)
endif()
