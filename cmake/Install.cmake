# Desktop integration of an installed copy: the icon in every size of
# assets/icon/sizes.txt (one size in pixels a line, also read by scripts/run.sh)
# and the menu entry.
set(iconDir ${PROJECT_SOURCE_DIR}/assets/icon)
file(STRINGS ${iconDir}/sizes.txt iconSizes REGEX "^[0-9]+$")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${iconDir}/sizes.txt)
foreach(size ${iconSizes})
  if(EXISTS ${iconDir}/velumo-${size}.png)
    install(FILES ${iconDir}/velumo-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME velumo.png)
  endif()
endforeach()
if(EXISTS ${PROJECT_SOURCE_DIR}/assets/velumo.desktop)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/velumo.desktop DESTINATION share/applications)
endif()
