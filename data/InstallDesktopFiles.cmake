# Runs at install time, when CMAKE_INSTALL_PREFIX is the final prefix.

set(bindir "${LUNIDOR_BINDIR}")
if(NOT IS_ABSOLUTE "${bindir}")
  set(bindir "${CMAKE_INSTALL_PREFIX}/${bindir}")
endif()
set(datadir "${LUNIDOR_DATADIR}")
if(NOT IS_ABSOLUTE "${datadir}")
  set(datadir "${CMAKE_INSTALL_PREFIX}/${datadir}")
endif()

# One directory per destination, so that installs into several prefixes
# at once do not overwrite each other's files.
string(MD5 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(generated "${LUNIDOR_GENERATED_DIR}/${destination}")
set(LUNIDOR_INSTALL_BINDIR "${bindir}")
configure_file("${LUNIDOR_DATA_SOURCE_DIR}/lunidor.desktop.in" "${generated}/lunidor.desktop" @ONLY)
configure_file("${LUNIDOR_DATA_SOURCE_DIR}/lunidor.thumbnailer.in" "${generated}/lunidor.thumbnailer" @ONLY)
file(INSTALL DESTINATION "${datadir}/applications" TYPE FILE FILES "${generated}/lunidor.desktop")
file(INSTALL DESTINATION "${datadir}/thumbnailers" TYPE FILE FILES "${generated}/lunidor.thumbnailer")
file(REMOVE_RECURSE "${generated}")

# Desktops read the database that update-mime-database builds from the
# definitions, not the definitions themselves.  A staged install (DESTDIR)
# leaves that to the package's own scripts.
find_program(update_mime_database update-mime-database)
if("$ENV{DESTDIR}" STREQUAL "" AND update_mime_database)
  execute_process(COMMAND "${update_mime_database}" "${datadir}/mime" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(WARNING "update-mime-database ${datadir}/mime failed: ${result}")
  endif()
endif()
