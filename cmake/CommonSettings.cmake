# One target that carries the language level, warnings and Qt strictness flags; every target links it.
add_library(ordnix_common INTERFACE)
target_compile_features(ordnix_common INTERFACE cxx_std_20)
target_compile_options(ordnix_common INTERFACE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
target_compile_definitions(ordnix_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER
    ORDNIX_VERSION="${PROJECT_VERSION}")
target_include_directories(ordnix_common INTERFACE ${PROJECT_SOURCE_DIR}/src)
