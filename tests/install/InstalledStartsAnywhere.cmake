# cmake --install into a scratch prefix, then the installed pinwright-cli from the root folder:
# it must find speed.txt, chips.ini, I2C_E.ini and SpiFlash.ini in the installed data folder. The man page,
# and with the window its own man page, menu entry and icon, are installed as well.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
foreach(f bin/pinwright-cli share/pinwright/speed.txt share/pinwright/chips.ini share/pinwright/I2C_E.ini share/pinwright/SpiFlash.ini
          lib/udev/rules.d/60-pinwright-ft232r.rules share/man/man1/pinwright-cli.1.gz)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
# The window's menu entry names the installed program and an icon that is installed too.
if(GUI)
  file(READ ${PREFIX}/share/applications/pinwright.desktop entry)
  if(NOT entry MATCHES "\nExec=pinwright\n" OR NOT entry MATCHES "\nIcon=pinwright\n"
     OR NOT EXISTS ${PREFIX}/bin/pinwright OR NOT EXISTS ${PREFIX}/share/icons/hicolor/scalable/apps/pinwright.svg
     OR NOT EXISTS ${PREFIX}/share/man/man1/pinwright.1.gz)
    message(FATAL_ERROR "the menu entry does not lead to the installed window and icon")
  endif()
endif()
execute_process(COMMAND ${PREFIX}/bin/pinwright-cli --simulator avr identify WORKING_DIRECTORY /
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "ATmega328P")
  message(FATAL_ERROR "installed pinwright-cli from /: status ${rc}\n${out}\n${err}")
endif()
