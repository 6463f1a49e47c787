# Compiles files into the program so that string tables, dialog templates, menus
# and bitmaps need nothing beside the executable. sb_embed_resources(target
# BASE dir FILES relative...) makes a static library whose
# FindEmbeddedResource("strings/en.txt") returns the file's bytes.
function(sb_embed_resources target)
    cmake_parse_arguments(ARG "" "BASE" "FILES;GENERATED" ${ARGN})
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_data.cpp)
    set(inputs "")
    set(entries "")
    foreach(f IN LISTS ARG_FILES)
        list(APPEND inputs ${ARG_BASE}/${f})
        list(APPEND entries "${f}=${ARG_BASE}/${f}")
    endforeach()
    foreach(pair IN LISTS ARG_GENERATED)
        string(REPLACE "=" ";" parts "${pair}")
        list(GET parts 1 path)
        list(APPEND inputs ${path})
        list(APPEND entries "${pair}")
    endforeach()
    string(REPLACE ";" "|" entries_arg "${entries}")
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DOUTPUT=${output} "-DENTRIES=${entries_arg}"
                -P ${PROJECT_SOURCE_DIR}/cmake/WriteEmbeddedResources.cmake
        DEPENDS ${inputs} ${PROJECT_SOURCE_DIR}/cmake/WriteEmbeddedResources.cmake
        COMMENT "Embedding resources into ${target}" VERBATIM)
    add_library(${target} STATIC ${output})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
