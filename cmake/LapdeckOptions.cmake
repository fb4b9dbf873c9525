# One interface target carries the standard, warnings and defines every target uses.
add_library(lapdeck_options INTERFACE)
target_compile_features(lapdeck_options INTERFACE cxx_std_20)
target_compile_options(lapdeck_options INTERFACE -Wall -Wextra -Wpedantic)
if(LAPDECK_WERROR)
    target_compile_options(lapdeck_options INTERFACE -Werror)
endif()
target_compile_definitions(lapdeck_options INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT QT_NO_FOREACH)
if(LAPDECK_SANITIZE)
    target_compile_options(lapdeck_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(lapdeck_options INTERFACE -fsanitize=address,undefined)
endif()
