# cmake --install into a scratch prefix, then the installed pinwright-cli from the root folder:
# it must find speed.txt, chips.ini, I2C_E.ini and SpiFlash.ini in the installed data folder.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
foreach(f bin/pinwright-cli share/pinwright/speed.txt share/pinwright/chips.ini share/pinwright/I2C_E.ini share/pinwright/SpiFlash.ini
          lib/udev/rules.d/60-pinwright-ft232r.rules)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
execute_process(COMMAND ${PREFIX}/bin/pinwright-cli --simulator avr identify WORKING_DIRECTORY /
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "ATmega328P")
  message(FATAL_ERROR "installed pinwright-cli from /: status ${rc}\n${out}\n${err}")
endif()
