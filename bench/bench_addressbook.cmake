kaede_bench(bench_addressbook LIBS kaede_addressbook SOURCES bench_addressbook.cpp)
target_compile_definitions(bench_addressbook PRIVATE KAEDE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
if(KAEDE_BUILD_TESTS)
  # A small book in CI: the benchmark and the Python comparison keep working (the saved book
  # must equal the file read); the figures come from a Release build of the full book.
  add_test(NAME bench_addressbook_smoke COMMAND bench_addressbook --benchmark_min_time=0.01)
  set_tests_properties(bench_addressbook_smoke PROPERTIES ENVIRONMENT "KAEDE_BENCH_ENTRIES=2000;LC_ALL=C.UTF-8"
                                                          FAIL_REGULAR_EXPRESSION "ERROR OCCURRED")
endif()
