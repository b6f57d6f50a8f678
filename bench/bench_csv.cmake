kaede_bench(bench_csv LIBS kaede_addressbook SOURCES bench_csv.cpp)
