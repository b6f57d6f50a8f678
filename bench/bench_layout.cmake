kaede_bench(bench_layout LIBS kaede_editor SOURCES bench_layout.cpp)
