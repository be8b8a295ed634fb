# cmake -DMADE=build/po/morvane.pot -DKEPT=po/morvane.pot -P CompareTemplate.cmake
# Fails when the template kept in po/ is not the one the sources give (the
# date it was made aside): run  cmake --build build --target update-translations
foreach(name MADE KEPT)
  file(STRINGS ${${name}} lines)
  list(FILTER lines EXCLUDE REGEX "^\"POT-Creation-Date: ")
  set(${name}_lines "${lines}")
endforeach()
if(NOT MADE_lines STREQUAL KEPT_lines)
  message(FATAL_ERROR "po/morvane.pot is not the template of the sources: "
                      "run  cmake --build build --target update-translations  and translate what is new")
endif()
