kaede_bench(bench_postcards LIBS kaede_postcard kaede_paper_qt SOURCES bench_postcards.cpp)
# The fresh-process benchmark starts the command line of the same build.
add_dependencies(bench_postcards kaede)
target_compile_definitions(bench_postcards PRIVATE KAEDE_CLI="$<TARGET_FILE:kaede>")
