# One subsystem directory gives at most two static libraries:
#   sb_<name>          from <dir>/*.cpp          portable logic, no Qt widgets
#   sb_<name>_widgets  from <dir>/widgets/*.cpp  thin Qt widgets over that logic
# A directory without sources yields an interface library, so dependants link
# against it before the first source file exists.
function(sb_subsystem name)
    cmake_parse_arguments(ARG "" "" "DEPS;WIDGET_DEPS;EXCLUDE" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    foreach(excluded IN LISTS ARG_EXCLUDE)
        list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
    endforeach()
    sb_library(sb_${name} "${sources}" "${ARG_DEPS}")
    file(GLOB widget_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/widgets/*.cpp
         ${CMAKE_CURRENT_SOURCE_DIR}/widgets/*.h)
    sb_library(sb_${name}_widgets "${widget_sources}" "sb_${name};Qt6::Widgets;${ARG_WIDGET_DEPS}")
endfunction()

function(sb_library target sources deps)
    list(FILTER sources INCLUDE REGEX "\\.cpp$|\\.h$")
    set(has_cpp FALSE)
    foreach(s IN LISTS sources)
        if(s MATCHES "\\.cpp$")
            set(has_cpp TRUE)
        endif()
    endforeach()
    if(has_cpp)
        add_library(${target} STATIC ${sources})
        target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${target} PUBLIC ${deps})
        set_target_properties(${target} PROPERTIES AUTOMOC ON)
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${target} INTERFACE ${deps})
    endif()
endfunction()

# Adds every directory given that has a CMakeLists.txt, and inside tests/, tools/,
# bench/ and sim/ every child directory that has one.
function(sb_add_optional_subdirectories)
    foreach(dir IN LISTS ARGN)
        if(EXISTS ${PROJECT_SOURCE_DIR}/${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()

function(sb_add_child_directories)
    file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(child IN LISTS children)
        if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()

# A GoogleTest executable made of every .cpp in the calling directory.
function(sb_gtest name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
    set_target_properties(${name} PROPERTIES AUTOMOC ON
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
        SB_BIN_DIR="${CMAKE_BINARY_DIR}/bin" SB_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        # One value per property: a list would be split on its way through discovery.
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                   ENVIRONMENT_MODIFICATION "SPLICEBOX_MESSAGES=set:stderr")
endfunction()
