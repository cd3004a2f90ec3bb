# Benchmarks: Windows programs built on demand (not part of `all` or the tests) and
# run under wine by the scripts beside them. They print figures; they assert nothing.
add_executable(orvo_bench_single_instance EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/single_instance_bench.cpp)
target_link_libraries(orvo_bench_single_instance PRIVATE orvo_test_support)
target_link_options(orvo_bench_single_instance PRIVATE -municode)
add_dependencies(orvo_bench_single_instance orvo_launcher testjvm)

add_executable(orvo_bench_start EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/start_bench.cpp)
target_link_options(orvo_bench_start PRIVATE -municode)

foreach(floor orvo_bench_jvm_floor orvo_bench_jvm_floor_gui)
  add_executable(${floor} EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/jvm_floor.cpp)
  target_include_directories(${floor} PRIVATE ${ORVO_JNI_INCLUDE} ${CMAKE_SOURCE_DIR}/src/hosting/jni_md)
  target_link_options(${floor} PRIVATE -municode)
endforeach()
set_target_properties(orvo_bench_jvm_floor_gui PROPERTIES WIN32_EXECUTABLE ON)
target_compile_definitions(orvo_bench_jvm_floor_gui PRIVATE ORVO_FLOOR_LAUNCHER_IMPORTS)
target_link_libraries(orvo_bench_jvm_floor_gui PRIVATE ${ORVO_SYSTEM_LIBS})

add_executable(orvo_splash_bench EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/splash_timing.cpp)
target_link_options(orvo_splash_bench PRIVATE -municode)
