# cmake -DPOT=... -DPO_DIR=... -DMSGMERGE=... -DMSGATTRIB=... -P UpdateTranslations.cmake
# Copies the template made from the sources into po/ and merges it into the
# catalog of each language of po/LINGUAS (new texts come in empty; texts
# that are gone go).
file(COPY_FILE ${POT} ${PO_DIR}/morvane.pot)
file(STRINGS ${PO_DIR}/LINGUAS lines)
string(REGEX MATCHALL "[A-Za-z_]+" linguas "${lines}")
foreach(code ${linguas})
  execute_process(COMMAND ${MSGMERGE} --quiet --update --backup=none --no-fuzzy-matching
                          ${PO_DIR}/${code}.po ${PO_DIR}/morvane.pot
                  COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${MSGATTRIB} --no-obsolete --output-file=${PO_DIR}/${code}.po ${PO_DIR}/${code}.po
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
