# Every target of a fuzzing build is instrumented for libFuzzer and checked by AddressSanitizer and
# UndefinedBehaviorSanitizer; the fuzz targets link the fuzzer's driver (tests/fuzz).
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VARNEL_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()
add_compile_options(-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
