# Precompiled headers: the Qt, GoogleTest and standard headers nearly every
# translation unit parses are compiled once, on one target for the program's
# code and one for the tests, and every target that uses Qt's widgets reuses
# them. A target whose compile flags do not fit a precompiled header parses
# the headers itself, so this only ever changes how long a build takes.
set(KESP_PRECOMPILED_HEADERS
    <QApplication> <QByteArray> <QColor> <QDate> <QDir> <QFile> <QFileInfo> <QHash> <QList>
    <QSet> <QString> <QStringList> <QVariant> <QWidget>
    <algorithm> <functional> <map> <memory> <optional> <utility> <vector>)

# Built with the fewest libraries (so the fewest macros) every user has.
add_library(kesp_precompiled_program STATIC ${CMAKE_SOURCE_DIR}/cmake/precompiled.cpp)
target_link_libraries(kesp_precompiled_program PRIVATE Qt6::Widgets)
target_precompile_headers(kesp_precompiled_program PRIVATE ${KESP_PRECOMPILED_HEADERS})

add_library(kesp_precompiled_tests STATIC ${CMAKE_SOURCE_DIR}/cmake/precompiled.cpp)
target_link_libraries(kesp_precompiled_tests PRIVATE Qt6::Widgets GTest::gtest)
target_precompile_headers(kesp_precompiled_tests PRIVATE ${KESP_PRECOMPILED_HEADERS}
                          <gtest/gtest.h>)
# Compiled as the tests are (tests/CMakeLists.txt).
target_compile_options(kesp_precompiled_tests PRIVATE -O1 -g0)

# Whether `target` uses Qt's widgets, itself or through the libraries it links.
function(kesp_uses_widgets target result)
    set(${result} FALSE PARENT_SCOPE)
    if(target STREQUAL "Qt6::Widgets")
        set(${result} TRUE PARENT_SCOPE)
        return()
    endif()
    if(NOT TARGET ${target})
        return()
    endif()
    get_target_property(imported ${target} IMPORTED)
    if(imported)
        return()
    endif()
    get_target_property(libraries ${target} LINK_LIBRARIES)
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    foreach(library IN LISTS libraries interface)
        if(library AND NOT library MATCHES "NOTFOUND$")
            kesp_uses_widgets(${library} uses)
            if(uses)
                set(${result} TRUE PARENT_SCOPE)
                return()
            endif()
        endif()
    endforeach()
endfunction()

# Every library and program under `folder` that uses the widgets reuses the
# precompiled headers of `from`.
function(kesp_reuse_precompiled_headers folder from)
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "EXECUTABLE")
            kesp_uses_widgets(${target} uses)
            if(uses)
                target_precompile_headers(${target} REUSE_FROM ${from})
            endif()
        endif()
    endforeach()
    get_property(folders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS folders)
        kesp_reuse_precompiled_headers(${sub} ${from})
    endforeach()
endfunction()
