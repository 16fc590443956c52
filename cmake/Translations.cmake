# The window's translations: translations/velumo_<lang>.ts compiled to .qm
# and embedded in the main window's library under ":/i18n/".
# After changing texts in the sources:
#   lupdate -locations none src -ts translations/velumo_{de,fr,es,pt_BR}.ts
#   python3 translations/fill_ts.py   (after adding the texts to its dictionaries)
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)
set(VELUMO_LANGUAGES de fr es pt_BR)
set(VELUMO_TS_FILES)
foreach(lang ${VELUMO_LANGUAGES})
  list(APPEND VELUMO_TS_FILES ${PROJECT_SOURCE_DIR}/translations/velumo_${lang}.ts)
endforeach()
# Every source file, so update_translations (lupdate) sees all of the texts.
file(GLOB_RECURSE VELUMO_TEXT_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h)
qt_add_translations(mainunit
  SOURCES ${VELUMO_TEXT_SOURCES}
  LUPDATE_OPTIONS -locations none
  TS_FILES ${VELUMO_TS_FILES}
  RESOURCE_PREFIX "/i18n"
  LRELEASE_OPTIONS -silent)
