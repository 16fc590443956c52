# Where "cmake --install" and the Debian package put each file. The folders are
# fixed here, when the build is configured; the program is told where its
# installed converter lies.
include(GNUInstallDirs)

set(VELUMO_LIBEXEC_SUBDIR ${CMAKE_INSTALL_LIBEXECDIR}/velumo)
target_compile_definitions(workThread PRIVATE
  "VELUMO_INSTALL_BINDIR=\"${CMAKE_INSTALL_FULL_BINDIR}\""
  "VELUMO_INSTALL_LIBEXECDIR=\"${CMAKE_INSTALL_PREFIX}/${VELUMO_LIBEXEC_SUBDIR}\"")

# Directories made by the install get 0755 whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS velumo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS av RUNTIME DESTINATION ${VELUMO_LIBEXEC_SUBDIR})
# The sound module, loaded by the program when it first needs sound.
install(TARGETS velumo-media LIBRARY DESTINATION ${VELUMO_LIBEXEC_SUBDIR})
target_compile_definitions(mainunit PRIVATE
  "VELUMO_INSTALL_MODULEDIR=\"${CMAKE_INSTALL_PREFIX}/${VELUMO_LIBEXEC_SUBDIR}\"")

set(assets ${PROJECT_SOURCE_DIR}/assets)
install(FILES ${assets}/velumo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# AppStream files are named after the component id they hold.
install(FILES ${assets}/velumo.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME com.velumo_soft.RingtoneMaker.metainfo.xml)
# The icon in every size of assets/icon/sizes.txt (one size in pixels a line,
# also read by scripts/run.sh).
file(STRINGS ${assets}/icon/sizes.txt iconSizes REGEX "^[0-9]+$")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${assets}/icon/sizes.txt)
foreach(size ${iconSizes})
  install(FILES ${assets}/icon/velumo-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME velumo.png)
endforeach()

# Manual page and Debian changelog, compressed the way Debian wants them
# (-n: no name or time stamp, so the same tree gives the same bytes).
set(packed ${CMAKE_CURRENT_BINARY_DIR}/packed)
set(gzipped)
foreach(pair "docs/velumo.1|velumo.1.gz" "packaging/changelog.Debian|changelog.Debian.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 target)
  add_custom_command(OUTPUT ${packed}/${target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${packed}
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/${source} > ${packed}/${target}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source} VERBATIM)
  list(APPEND gzipped ${packed}/${target})
endforeach()
add_custom_target(velumo_packed_docs ALL DEPENDS ${gzipped})
install(FILES ${packed}/velumo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
set(VELUMO_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/velumo)
install(FILES ${packed}/changelog.Debian.gz ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${VELUMO_DOCDIR})
