# What `cmake --install` and the package put where. The applet's files form the
# component "splicebox"; the game substitute is the component "sim", installed
# only when asked for (cmake --install BUILD --component sim).
include(GNUInstallDirs)
# GNUInstallDirs would name the folder after the project, capitalised.
set(SB_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/splicebox)

install(TARGETS splicebox kivtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT splicebox)

# Debian wants man pages and the change log compressed, without a time stamp
# that would make every build differ. Sets `result` to the compressed file.
function(sb_compressed source result)
    get_filename_component(name ${source} NAME)
    set(target ${PROJECT_BINARY_DIR}/compressed/${name}.gz)
    add_custom_command(OUTPUT ${target}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/compressed
        COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/${source} ${target}
        DEPENDS ${PROJECT_SOURCE_DIR}/${source} VERBATIM)
    set(${result} ${target} PARENT_SCOPE)
endfunction()
sb_compressed(docs/man/splicebox.1 splicebox_page)
sb_compressed(docs/man/kivtool.1 kivtool_page)
sb_compressed(docs/changelog changelog)
add_custom_target(compressed_docs ALL DEPENDS ${splicebox_page} ${kivtool_page} ${changelog})
install(FILES ${splicebox_page} ${kivtool_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT splicebox)

install(FILES ${PROJECT_SOURCE_DIR}/tools/kivtool/kivtool.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kivtool
        COMPONENT splicebox)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/copyright
              ${changelog}
        DESTINATION ${SB_INSTALL_DOCDIR} COMPONENT splicebox)

# The bridge runs inside Wine, where the game is; splicebox finds it in libexec/splicebox beside
# bin (not below lib, where a shared object would make the package run ldconfig).
if(TARGET splicebox-bridge)
    install(PROGRAMS ${CMAKE_BINARY_DIR}/bin/splicebox-bridge.exe.so DESTINATION libexec/splicebox
            COMPONENT splicebox)
endif()

if(TARGET mirewalk-sim)
    install(TARGETS mirewalk-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT sim
            EXCLUDE_FROM_ALL)
endif()
