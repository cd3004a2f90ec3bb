# Benchmarks: Windows programs built on demand (not part of `all` or the tests) and
# run under wine by the scripts beside them. They print figures; they assert nothing.
add_executable(orvo_bench_single_instance EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/single_instance_bench.cpp)
target_link_libraries(orvo_bench_single_instance PRIVATE orvo_test_support)
target_link_options(orvo_bench_single_instance PRIVATE -municode)
add_dependencies(orvo_bench_single_instance orvo_launcher testjvm)
