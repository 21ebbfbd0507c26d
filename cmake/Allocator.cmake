# The desktop program allocates with jemalloc. Once lists of tens of thousands of papers have been read and
# freed, glibc's allocator makes each further list read slower (a journal of 10,000 papers: 155 ms growing to
# 205 ms over five rounds, against a steady 160 ms with jemalloc; bench_gui). Sanitizer builds keep their own
# allocator, which checks every allocation. VARNEL_ALLOCATOR_LIBRARIES is what the program (and the benchmark
# that times it) links.
set(VARNEL_ALLOCATOR_LIBRARIES "")
if(VARNEL_JEMALLOC AND VARNEL_BUILD_DESKTOP AND NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    find_library(JEMALLOC_LIBRARY NAMES jemalloc)
    if(NOT JEMALLOC_LIBRARY)
        message(FATAL_ERROR "jemalloc not found: install libjemalloc-dev, or configure with -DVARNEL_JEMALLOC=OFF")
    endif()
    set(VARNEL_ALLOCATOR_LIBRARIES ${JEMALLOC_LIBRARY})
endif()
