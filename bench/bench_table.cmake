kaede_bench(bench_table LIBS kaede_addressbook kaede_paper_qt SOURCES bench_table.cpp)
