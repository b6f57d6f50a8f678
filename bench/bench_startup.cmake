kaede_bench(bench_startup LIBS kaede_addressbook SOURCES bench_startup.cpp)
# The programs it starts: the command line and the window program of the same build.
add_dependencies(bench_startup kaede KaedeAddress)
target_compile_definitions(
  bench_startup PRIVATE KAEDE_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KAEDE_CLI="$<TARGET_FILE:kaede>"
                        KAEDE_WINDOW="$<TARGET_FILE:KaedeAddress>" KAEDE_SAMPLE_BOOK="${CMAKE_BINARY_DIR}/bin/住所録.kad")
if(KAEDE_BUILD_TESTS)
  # Small books in CI: the programs keep running as the benchmark starts them, and the books
  # that are not books end as they should (an error, or a listing).
  add_test(NAME bench_startup_smoke COMMAND bench_startup --benchmark_filter=List|Hostile)
  set_tests_properties(bench_startup_smoke PROPERTIES ENVIRONMENT
                       "KAEDE_BENCH_ENTRIES=2000;KAEDE_BENCH_HOSTILE_MB=2;KAEDE_BENCH_NO_PYTHON=1;LC_ALL=C.UTF-8"
                       FAIL_REGULAR_EXPRESSION "ERROR OCCURRED")
endif()
