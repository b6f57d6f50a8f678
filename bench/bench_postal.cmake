kaede_bench(bench_postal LIBS kaede_updater kaede_postal SOURCES bench_postal.cpp)
