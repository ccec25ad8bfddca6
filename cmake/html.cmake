# Run by the Windows build: writes OUT, mandoc's HTML of the manual page MAN,
# its <html> element declaring the page's language LANG so that a screen
# reader speaks it with the right voice.
execute_process(COMMAND ${MANDOC} -T html ${MAN} OUTPUT_VARIABLE html
                COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\n<html>\n" "\n<html lang=\"${LANG}\">\n" html "${html}")
if(NOT html MATCHES "<html lang=\"${LANG}\">")
  message(FATAL_ERROR "${MAN}: mandoc's page has no <html> line to give its language")
endif()
file(WRITE ${OUT} "${html}")
