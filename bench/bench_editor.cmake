kaede_bench(bench_editor LIBS kaede_editor kaede_paper_qt SOURCES bench_editor.cpp)
