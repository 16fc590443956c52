# The window's translations: each translations/velumo_<lang>.ts, the one place
# a translation stands, compiled to .qm and embedded in the main window's
# library under ":/i18n/". A new .ts file is a new language.
# After changing texts in the sources: scripts/update-translations.sh
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)
file(GLOB VELUMO_TS_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/translations/velumo_*.ts)
# Every source file, so update_translations (lupdate) sees all of the texts.
file(GLOB_RECURSE VELUMO_TEXT_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h)
qt_add_translations(mainunit
  SOURCES ${VELUMO_TEXT_SOURCES}
  LUPDATE_OPTIONS -locations none -no-obsolete
  TS_FILES ${VELUMO_TS_FILES}
  RESOURCE_PREFIX "/i18n"
  LRELEASE_OPTIONS -silent)
