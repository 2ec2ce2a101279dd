# Runs at install time: writes the library's cfg/cfg.config from its template
# with the embedded database under the state folder of the prefix installed
# into (/var for /usr, as GNUInstallDirs places it; <prefix>/var otherwise).
#
# Modes (docs/architecture.md, "Host SDK, installation and packaging"):
# cfg/cfg.config may hold a server password, so it is 0640 (root and the
# group tesmira read it); the state folder <state>/lib/tesmira is 2775, so a
# database tesmira-dbinit makes there belongs to the folder's group and the
# site's users in that group can write it. The group is given here when the
# install runs as root and the group exists; the Debian package's postinst
# creates the group and gives it.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(stateDir /var)
else()
  set(stateDir ${CMAKE_INSTALL_PREFIX}/var)
endif()
set(TESMIRA_DATABASE ${stateDir}/lib/tesmira/tesmira.db)
configure_file(${TESMIRA_CFG_TEMPLATE} ${TESMIRA_CFG_STAGING}/cfg.config @ONLY)
file(INSTALL ${TESMIRA_CFG_STAGING}/cfg.config
  DESTINATION ${CMAKE_INSTALL_PREFIX}/${TESMIRA_CFG_INSTALL_DIR}
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ)

set(installedCfg "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${TESMIRA_CFG_INSTALL_DIR}/cfg.config")
set(stateFolder "$ENV{DESTDIR}${stateDir}/lib/tesmira")
file(MAKE_DIRECTORY ${stateFolder})
message(STATUS "Installing: ${stateFolder} (state folder, 2775)")
file(CHMOD ${stateFolder} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
  GROUP_READ GROUP_WRITE GROUP_EXECUTE WORLD_READ WORLD_EXECUTE SETGID)

find_program(TESMIRA_GETENT getent)
if(TESMIRA_GETENT)
  execute_process(COMMAND ${TESMIRA_GETENT} group tesmira RESULT_VARIABLE noGroup
    OUTPUT_QUIET ERROR_QUIET)
  execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(noGroup EQUAL 0 AND uid STREQUAL "0")
    execute_process(COMMAND chgrp tesmira ${installedCfg} ${stateFolder})
    # chgrp may clear the set-group-ID bit of a folder on some systems.
    execute_process(COMMAND chmod 2775 ${stateFolder})
  endif()
endif()
