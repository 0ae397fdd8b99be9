# Precompiled headers: the Qt, GoogleTest and standard headers nearly every
# translation unit parses are compiled once, on one target for the program's
# code and one for the tests, and every target reuses the pair that fits the
# Qt libraries it uses: the widgets' headers for a target using the widgets,
# QtCore's alone for a target using only QtCore (the store and its tests). A
# target whose compile flags do not fit a precompiled header parses the
# headers itself, so this only ever changes how long a build takes.
set(KESP_PRECOMPILED_CORE_HEADERS
    <QByteArray> <QDate> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QSet> <QString>
    <QStringList> <QVariant>
    <algorithm> <functional> <map> <memory> <optional> <utility> <vector>)
set(KESP_PRECOMPILED_HEADERS ${KESP_PRECOMPILED_CORE_HEADERS} <QApplication> <QColor> <QWidget>)

# Each built with the fewest libraries (so the fewest macros) every user has.
function(kesp_precompiled_headers name qt headers)
    add_library(${name}_program STATIC ${CMAKE_SOURCE_DIR}/cmake/precompiled.cpp)
    target_link_libraries(${name}_program PRIVATE ${qt})
    target_precompile_headers(${name}_program PRIVATE ${headers})

    add_library(${name}_tests STATIC ${CMAKE_SOURCE_DIR}/cmake/precompiled.cpp)
    target_link_libraries(${name}_tests PRIVATE ${qt} GTest::gtest)
    target_precompile_headers(${name}_tests PRIVATE ${headers} <gtest/gtest.h>)
    # Compiled as the tests are (tests/CMakeLists.txt).
    target_compile_options(${name}_tests PRIVATE -O1 -g0)
endfunction()
kesp_precompiled_headers(kesp_precompiled Qt6::Widgets "${KESP_PRECOMPILED_HEADERS}")
kesp_precompiled_headers(kesp_precompiled_core Qt6::Core "${KESP_PRECOMPILED_CORE_HEADERS}")

# Whether `target` uses `library`, itself or through the libraries it links.
function(kesp_uses target library result)
    set(${result} FALSE PARENT_SCOPE)
    if(target STREQUAL library)
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
    foreach(linked IN LISTS libraries interface)
        if(linked AND NOT linked MATCHES "NOTFOUND$")
            kesp_uses(${linked} ${library} uses)
            if(uses)
                set(${result} TRUE PARENT_SCOPE)
                return()
            endif()
        endif()
    endforeach()
endfunction()

# Every library and program under `folder` reuses the precompiled headers of
# `kind` ("program" or "tests") that fit the Qt libraries it uses.
function(kesp_reuse_precompiled_headers folder kind)
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "STATIC_LIBRARY" OR type STREQUAL "EXECUTABLE")
            kesp_uses(${target} Qt6::Widgets widgets)
            kesp_uses(${target} Qt6::Core core)
            kesp_uses(${target} GTest::gtest gtest)
            if(kind STREQUAL "tests" AND NOT gtest)
                # A test fixture without GoogleTest lacks its macros.
            elseif(widgets)
                target_precompile_headers(${target} REUSE_FROM kesp_precompiled_${kind})
            elseif(core)
                target_precompile_headers(${target} REUSE_FROM kesp_precompiled_core_${kind})
            endif()
        endif()
    endforeach()
    get_property(folders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS folders)
        kesp_reuse_precompiled_headers(${sub} ${kind})
    endforeach()
endfunction()
