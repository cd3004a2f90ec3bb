# The test JVM library (tests/testjvm/README.md): one set of sources, linked once
# per set of exports into ${CMAKE_BINARY_DIR}/testjvm, with a small probe program
# that drives it from a process of its own.
set(ORVO_TEST_JVM_DIR ${CMAKE_BINARY_DIR}/testjvm)
set(ORVO_TEST_JVM_SOURCE_DIR ${CMAKE_SOURCE_DIR}/tests/testjvm)
set(ORVO_TEST_JVM_INCLUDES ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src
  ${CMAKE_SOURCE_DIR}/src/hosting/jni_md ${ORVO_JNI_INCLUDE})

file(GLOB ORVO_TEST_JVM_SOURCES CONFIGURE_DEPENDS ${ORVO_TEST_JVM_SOURCE_DIR}/*.cpp)
list(REMOVE_ITEM ORVO_TEST_JVM_SOURCES ${ORVO_TEST_JVM_SOURCE_DIR}/jvm_exports.cpp
  ${ORVO_TEST_JVM_SOURCE_DIR}/testjvm_probe.cpp ${ORVO_TEST_JVM_SOURCE_DIR}/bin_dependency.cpp)
add_library(testjvm_model OBJECT ${ORVO_TEST_JVM_SOURCES})
target_include_directories(testjvm_model PRIVATE ${ORVO_TEST_JVM_INCLUDES})

function(orvo_add_test_jvm target output_name)
  add_library(${target} SHARED ${ORVO_TEST_JVM_SOURCE_DIR}/jvm_exports.cpp $<TARGET_OBJECTS:testjvm_model>)
  target_include_directories(${target} PRIVATE ${ORVO_TEST_JVM_INCLUDES})
  target_compile_definitions(${target} PRIVATE ${ARGN})
  # --kill-at: the exports carry their plain names on x86 too, as a real jvm.dll does.
  target_link_options(${target} PRIVATE -Wl,--kill-at)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output_name} PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${ORVO_TEST_JVM_DIR}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testjvm-import)
endfunction()

orvo_add_test_jvm(testjvm jvm)
orvo_add_test_jvm(testjvm_no_findclassfromboot jvm_no_findclassfromboot TESTJVM_NO_FINDCLASSFROMBOOTLOADER)
orvo_add_test_jvm(testjvm_no_createjavavm jvm_no_createjavavm TESTJVM_NO_CREATEJAVAVM)
orvo_add_test_jvm(testjvm_no_defaultinitargs jvm_no_defaultinitargs TESTJVM_NO_DEFAULTINITARGS)

add_library(testjvm_bin_dependency SHARED ${ORVO_TEST_JVM_SOURCE_DIR}/bin_dependency.cpp)
set_target_properties(testjvm_bin_dependency PROPERTIES PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${ORVO_TEST_JVM_DIR}
  ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/testjvm-import)
orvo_add_test_jvm(testjvm_needs_bin_dll jvm_needs_bin_dll TESTJVM_NEEDS_BIN_DLL)
target_link_libraries(testjvm_needs_bin_dll PRIVATE testjvm_bin_dependency)

add_executable(testjvm_probe ${ORVO_TEST_JVM_SOURCE_DIR}/testjvm_probe.cpp)
target_include_directories(testjvm_probe PRIVATE ${ORVO_TEST_JVM_INCLUDES})
target_link_options(testjvm_probe PRIVATE -municode)
set_target_properties(testjvm_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ORVO_TEST_JVM_DIR})

add_custom_target(testjvm_all DEPENDS testjvm testjvm_no_findclassfromboot testjvm_no_createjavavm
  testjvm_no_defaultinitargs testjvm_needs_bin_dll testjvm_bin_dependency testjvm_probe)
add_dependencies(orvo_unit_tests testjvm_all)
add_dependencies(orvo_e2e_tests testjvm_all)

# The tests find this build's libraries, and the paired build's (for a runtime of
# the other architecture), through the environment.
orvo_windows_path(ORVO_TEST_JVM_DIR_WIN "${ORVO_TEST_JVM_DIR}")
set(ORVO_PAIR_TEST_JVM_DIR_WIN "")
if(ORVO_PAIR_LAUNCHER)
  get_filename_component(ORVO_PAIR_BUILD_DIR "${ORVO_PAIR_LAUNCHER}" DIRECTORY)
  orvo_windows_path(ORVO_PAIR_TEST_JVM_DIR_WIN "${ORVO_PAIR_BUILD_DIR}/testjvm")
endif()
set_property(TEST unit-${ORVO_ARCH} e2e-${ORVO_ARCH} APPEND PROPERTY ENVIRONMENT
  "ORVO_TEST_JVM_DIR=${ORVO_TEST_JVM_DIR_WIN}"
  "ORVO_PAIR_TEST_JVM_DIR=${ORVO_PAIR_TEST_JVM_DIR_WIN}")
