# Precompiled headers: the Qt, GoogleTest and standard headers nearly every
# translation unit parses are compiled once, on one target for the program's
# code and one for the tests, and every other target reuses them. A target
# whose compile flags do not fit a precompiled header parses the headers
# itself, so this only ever changes how long a build takes.
set(KESP_PRECOMPILED_HEADERS
    <QApplication> <QByteArray> <QColor> <QDate> <QDir> <QFile> <QFileInfo> <QHash> <QList>
    <QSet> <QString> <QStringList> <QVariant> <QWidget>
    <algorithm> <functional> <map> <memory> <optional> <utility> <vector>)

add_library(kesp_precompiled_program STATIC ${CMAKE_SOURCE_DIR}/cmake/precompiled.cpp)
target_link_libraries(kesp_precompiled_program PRIVATE Qt6::Widgets Qt6::PrintSupport)
target_precompile_headers(kesp_precompiled_program PRIVATE ${KESP_PRECOMPILED_HEADERS})

find_package(Qt6 REQUIRED COMPONENTS Test)
add_library(kesp_precompiled_tests STATIC ${CMAKE_SOURCE_DIR}/cmake/precompiled.cpp)
target_link_libraries(kesp_precompiled_tests PRIVATE Qt6::Widgets Qt6::PrintSupport Qt6::Test
                      GTest::gtest)
target_precompile_headers(kesp_precompiled_tests PRIVATE ${KESP_PRECOMPILED_HEADERS}
                          <gtest/gtest.h>)

# Every library and program under `folder` reuses the precompiled headers of `from`.
function(kesp_reuse_precompiled_headers folder from)
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "EXECUTABLE")
            target_precompile_headers(${target} REUSE_FROM ${from})
        endif()
    endforeach()
    get_property(folders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS folders)
        kesp_reuse_precompiled_headers(${sub} ${from})
    endforeach()
endfunction()
