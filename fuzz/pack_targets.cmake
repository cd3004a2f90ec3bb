# orvo-pack's readers of files it is given (executables, icons, archives), fuzzed like
# the launcher's parsers, with the compile and link options fuzz/CMakeLists.txt sets
# before it includes this file.
set(ORVO_PACK_SRC ${CMAKE_CURRENT_LIST_DIR}/../tools/orvo-pack/src)
add_library(orvo_pack_pure STATIC
  ${ORVO_PACK_SRC}/byte_io.cpp
  ${ORVO_PACK_SRC}/icon_file.cpp
  ${ORVO_PACK_SRC}/manifest_settings.cpp
  ${ORVO_PACK_SRC}/pe_image.cpp
  ${ORVO_PACK_SRC}/pe_writer.cpp
  ${ORVO_PACK_SRC}/resource_tree.cpp
  ${ORVO_PACK_SRC}/zip_archive.cpp
  ${ORVO_SRC}/foundation/pe_headers.cpp)
target_include_directories(orvo_pack_pure PUBLIC ${ORVO_PACK_SRC} ${ORVO_SRC})
target_compile_options(orvo_pack_pure PRIVATE -fsanitize=fuzzer-no-link)

foreach(target pack_pe_image pack_icon_file pack_zip_archive pack_manifest_settings)
  add_executable(fuzz_${target} ${CMAKE_CURRENT_LIST_DIR}/${target}.cpp)
  target_include_directories(fuzz_${target} PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_compile_options(fuzz_${target} PRIVATE -fsanitize=fuzzer-no-link)
  target_link_libraries(fuzz_${target} PRIVATE orvo_pack_pure)
endforeach()
