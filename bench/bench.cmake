add_executable(orvo_splash_bench EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/splash_timing.cpp)
target_link_options(orvo_splash_bench PRIVATE -municode)
