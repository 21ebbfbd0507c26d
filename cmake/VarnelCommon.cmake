# Project-wide compile settings; every target links varnel_common.
add_library(varnel_common INTERFACE)
add_library(Varnel::common ALIAS varnel_common)

target_compile_features(varnel_common INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)

target_compile_options(varnel_common INTERFACE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual)
if(VARNEL_WERROR)
    target_compile_options(varnel_common INTERFACE -Werror)
endif()

target_compile_definitions(varnel_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_KEYWORDS
    QT_USE_QSTRINGBUILDER
    QT_DISABLE_DEPRECATED_UP_TO=0x060400
)
