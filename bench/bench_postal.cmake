pkg_check_modules(LIBARCHIVE REQUIRED IMPORTED_TARGET libarchive)
kaede_bench(bench_postal LIBS kaede_updater kaede_postal PkgConfig::LIBARCHIVE SOURCES bench_postal.cpp)
