# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Widgets belong to the window and above. tarvolk_forbid_widgets(folder...) stops the
# configuration when a source file in one of the folders, outside a window/ subfolder of its
# own, includes a QtWidgets header: linking
# only Qt Core would not catch it, since <QtWidgets/...> resolves through the common include
# folder.
function(tarvolk_forbid_widgets)
    get_target_property(qt_dirs Qt6::Widgets INTERFACE_INCLUDE_DIRECTORIES)
    set(widget_headers)
    foreach(dir IN LISTS qt_dirs)
        if(dir MATCHES "/QtWidgets$")
            file(GLOB names RELATIVE ${dir} ${dir}/*)
            list(APPEND widget_headers ${names})
        endif()
    endforeach()
    set(include_line "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*")
    foreach(folder IN LISTS ARGN)
        file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h
             ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
        list(FILTER sources EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/${folder}/window/")
        foreach(source IN LISTS sources)
            file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include")
            foreach(line IN LISTS includes)
                string(REGEX REPLACE "${include_line}" "\\1" header "${line}")
                string(REGEX REPLACE "^QtWidgets/" "" name "${header}")
                if(header MATCHES "^QtWidgets" OR name IN_LIST widget_headers)
                    message(FATAL_ERROR
                            "${source} includes ${header}: widgets belong in window/ and above")
                endif()
            endforeach()
        endforeach()
    endforeach()
endfunction()
