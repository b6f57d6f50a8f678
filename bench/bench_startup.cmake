kaede_bench(bench_startup LIBS kaede_addressbook SOURCES bench_startup.cpp)
# The programs it starts: the command line and the window program of the same build.
add_dependencies(bench_startup kaede KaedeAddress)
target_compile_definitions(
  bench_startup PRIVATE KAEDE_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KAEDE_CLI="$<TARGET_FILE:kaede>"
                        KAEDE_WINDOW="$<TARGET_FILE:KaedeAddress>" KAEDE_SAMPLE_BOOK="${CMAKE_BINARY_DIR}/bin/住所録.kad")
