# Converts the UTF-8 sample book to the CP932 book file with CR LF line ends.
# Variables: SOURCE, OUTPUT.
execute_process(COMMAND iconv -f UTF-8 -t CP932 "${SOURCE}" OUTPUT_FILE "${OUTPUT}.tmp" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "iconv could not convert ${SOURCE} to CP932")
endif()
file(READ "${OUTPUT}.tmp" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
file(REMOVE "${OUTPUT}.tmp")
