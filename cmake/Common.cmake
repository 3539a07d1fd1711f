# Settings every target of the project shares: standard, warnings, strict Qt text conversions.
add_library(vt_settings INTERFACE)
target_compile_definitions(vt_settings INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_USE_QSTRINGBUILDER
    QT_DISABLE_DEPRECATED_UP_TO=0x060000)
target_compile_options(vt_settings INTERFACE
    -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor)
if(WERROR)
    target_compile_options(vt_settings INTERFACE -Werror)
endif()
if(SANITIZE)
    target_compile_options(vt_settings INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(vt_settings INTERFACE -fsanitize=address,undefined)
endif()
if(BUILD_FUZZERS)
    # Coverage for every library the fuzz targets link, so the fuzzer sees inside the parsers.
    target_compile_options(vt_settings INTERFACE -fsanitize=fuzzer-no-link)
endif()
