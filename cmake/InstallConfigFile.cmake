# Runs at install time: writes the library's cfg/cfg.config from its template
# with the embedded database under the state folder of the prefix installed
# into (/var for /usr, as GNUInstallDirs places it; <prefix>/var otherwise).
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(stateDir /var)
else()
  set(stateDir ${CMAKE_INSTALL_PREFIX}/var)
endif()
set(TESMIRA_DATABASE ${stateDir}/lib/tesmira/tesmira.db)
configure_file(${TESMIRA_CFG_TEMPLATE} ${TESMIRA_CFG_STAGING}/cfg.config @ONLY)
file(INSTALL ${TESMIRA_CFG_STAGING}/cfg.config
  DESTINATION ${CMAKE_INSTALL_PREFIX}/${TESMIRA_CFG_INSTALL_DIR})
