# cmake -DPOT=... -DPO_DIR=... -DLINGUAS=... -DMSGMERGE=... -P UpdateTranslations.cmake
# Copies the template made from the sources into po/ and merges it into each
# language's catalog (new texts come in empty; texts that are gone go).
file(COPY_FILE ${POT} ${PO_DIR}/morvane.pot)
foreach(code ${LINGUAS})
  execute_process(COMMAND ${MSGMERGE} --quiet --update --backup=none --no-fuzzy-matching
                          ${PO_DIR}/${code}.po ${PO_DIR}/morvane.pot
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
