kaede_bench(bench_addressbook LIBS kaede_addressbook SOURCES bench_addressbook.cpp)
target_compile_definitions(bench_addressbook PRIVATE KAEDE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
