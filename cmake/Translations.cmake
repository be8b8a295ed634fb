# The catalogs of the texts people read, with GNU gettext:
#   po/morvane.pot    the template, made from the sources by xgettext (the
#                     test translation_template_current fails when the one
#                     in po/ is not the one the sources give)
#   po/<code>.po      a language's translations, one for each code of po/LINGUAS
#   build/locale/<code>/LC_MESSAGES/morvane.mo   compiled by msgfmt --check,
#                     where the programs of the build folder find them
# After changing texts:  cmake --build build --target update-translations
# refreshes po/morvane.pot and merges it into every po/<code>.po.
find_program(MORVANE_XGETTEXT xgettext REQUIRED)
find_program(MORVANE_MSGFMT msgfmt REQUIRED)
find_program(MORVANE_MSGMERGE msgmerge REQUIRED)
find_program(MORVANE_MSGATTRIB msgattrib REQUIRED)

file(STRINGS ${PROJECT_SOURCE_DIR}/po/LINGUAS MORVANE_LINGUAS_LINE)
string(REGEX MATCHALL "[A-Za-z_]+" MORVANE_LINGUAS "${MORVANE_LINGUAS_LINE}")

# The sources whose texts are translated, by their paths from the project
# root, sorted so the template does not change with the file system's order.
set(morvane_text_dirs app cli i18n io keymap keys opcodes script session settings ui)
set(morvane_text_sources "")
foreach(dir ${morvane_text_dirs})
  file(GLOB found CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
       ${PROJECT_SOURCE_DIR}/${dir}/*.cpp ${PROJECT_SOURCE_DIR}/${dir}/*.h)
  list(APPEND morvane_text_sources ${found})
endforeach()
# The opcode tables hold names, not texts.
list(REMOVE_ITEM morvane_text_sources opcodes/BuiltinTables.cpp)
list(SORT morvane_text_sources)

set(morvane_pot ${PROJECT_BINARY_DIR}/po/morvane.pot)
set(morvane_absolute_sources "")
foreach(source ${morvane_text_sources})
  list(APPEND morvane_absolute_sources ${PROJECT_SOURCE_DIR}/${source})
endforeach()
add_custom_command(
  OUTPUT ${morvane_pot}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/po
  COMMAND ${MORVANE_XGETTEXT} --language=C++ --from-code=UTF-8 --add-comments=TRANSLATORS:
          --keyword=Tr --keyword=TrN:1,2 --keyword=TrC:1c,2 --keyword=N_ --keyword=NC_:1c,2
          --keyword=WxTr --keyword=WxTrN:1,2 --add-location=file --sort-by-file
          --package-name=Morvane --package-version=${PROJECT_VERSION}
          --msgid-bugs-address=morvane@example.org --copyright-holder=The\ Morvane\ developers
          --output=${morvane_pot} ${morvane_text_sources}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  DEPENDS ${morvane_absolute_sources}
  COMMENT "Collecting the texts into morvane.pot")

set(morvane_catalogs "")
foreach(code ${MORVANE_LINGUAS})
  set(mo ${PROJECT_BINARY_DIR}/locale/${code}/LC_MESSAGES/morvane.mo)
  add_custom_command(
    OUTPUT ${mo}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/locale/${code}/LC_MESSAGES
    COMMAND ${MORVANE_MSGFMT} --check --output-file=${mo} ${PROJECT_SOURCE_DIR}/po/${code}.po
    DEPENDS ${PROJECT_SOURCE_DIR}/po/${code}.po
    COMMENT "Compiling the ${code} catalog")
  list(APPEND morvane_catalogs ${mo})
endforeach()
add_custom_target(translations ALL DEPENDS ${morvane_pot} ${morvane_catalogs})

add_custom_target(update-translations
  COMMAND ${CMAKE_COMMAND} -DPOT=${morvane_pot} -DPO_DIR=${PROJECT_SOURCE_DIR}/po -DMSGMERGE=${MORVANE_MSGMERGE}
          -DMSGATTRIB=${MORVANE_MSGATTRIB}
          -P ${PROJECT_SOURCE_DIR}/cmake/UpdateTranslations.cmake
  DEPENDS ${morvane_pot}
  COMMENT "Updating po/morvane.pot and the catalogs of po/")

# The catalogs installed where gettext and wxWidgets look for them.
if(NOT WIN32)
  foreach(code ${MORVANE_LINGUAS})
    install(FILES ${PROJECT_BINARY_DIR}/locale/${code}/LC_MESSAGES/morvane.mo
            DESTINATION ${CMAKE_INSTALL_DATADIR}/locale/${code}/LC_MESSAGES)
  endforeach()
endif()

if(MORVANE_TESTS)
  add_test(NAME translation_template_current
           COMMAND ${CMAKE_COMMAND} -DMADE=${morvane_pot} -DKEPT=${PROJECT_SOURCE_DIR}/po/morvane.pot
                   -P ${PROJECT_SOURCE_DIR}/cmake/CompareTemplate.cmake)
endif()
