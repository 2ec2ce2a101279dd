# Installing Tesmira like Linux software (cmake --install, cpack -G DEB):
#   <libdir>/tesmira/       libtesmira.so and cfg/cfg.config (the library reads
#                           its configuration beside itself)
#   <bindir>/               tesmira-host, tesmira-dbinit, tesmira-catalog
#   <datadir>/tesmira/sql/  one schema folder per database system, demo data
#   <datadir>/doc/tesmira/  the README and the architecture notes
#   <includedir>/tesmira/   the host SDK, with a CMake package (find_package(Tesmira))
#                           and a pkg-config file (tesmira)
include(CMakePackageConfigHelpers)

# The schemas kept under sql/, one folder per database system (the folder
# tesmira-dbinit chooses for the system a connection reports).
set(TESMIRA_SCHEMA_FOLDERS
  sqlite
  sqlserver
  postgresql
)

set(TESMIRA_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tesmira)
set(TESMIRA_DOC_INSTALL_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tesmira)

# A host may also link the library instead of loading it; it gets the SDK then.
target_link_libraries(tesmira INTERFACE tesmira_sdk)
install(TARGETS tesmira EXPORT TesmiraTargets LIBRARY DESTINATION ${TESMIRA_PLUGIN_INSTALL_DIR})
install(TARGETS tesmira_sdk EXPORT TesmiraTargets)
install(TARGETS tesmira-host tesmira-dbinit tesmira-catalog RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
list(TRANSFORM TESMIRA_SDK_HEADERS PREPEND ${PROJECT_SOURCE_DIR}/include/
  OUTPUT_VARIABLE sdkHeaders)
install(FILES ${sdkHeaders} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tesmira)
foreach(folder IN LISTS TESMIRA_SCHEMA_FOLDERS)
  install(FILES sql/${folder}/schema.sql DESTINATION ${TESMIRA_DATA_INSTALL_DIR}/sql/${folder})
endforeach()
install(FILES sql/demo-data.sql DESTINATION ${TESMIRA_DATA_INSTALL_DIR}/sql)
install(FILES README.md docs/architecture.md DESTINATION ${TESMIRA_DOC_INSTALL_DIR})

# cfg/cfg.config names the embedded database under the prefix's state folder,
# which is known only when installing (cpack installs into /usr, a test into
# a temporary folder): a script writes it then.
install(CODE "
  set(TESMIRA_CFG_TEMPLATE \"${PROJECT_SOURCE_DIR}/cfg/cfg.config.in\")
  set(TESMIRA_CFG_STAGING \"${PROJECT_BINARY_DIR}/install-cfg\")
  set(TESMIRA_CFG_INSTALL_DIR \"${TESMIRA_PLUGIN_INSTALL_DIR}/cfg\")")
install(SCRIPT cmake/InstallConfigFile.cmake)

# The CMake package: Tesmira::sdk (headers) and Tesmira::tesmira (the library,
# whose file a host loads: $<TARGET_FILE:Tesmira::tesmira>).
install(EXPORT TesmiraTargets NAMESPACE Tesmira:: DESTINATION ${TESMIRA_CMAKE_INSTALL_DIR})
configure_package_config_file(cmake/TesmiraConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TesmiraConfig.cmake INSTALL_DESTINATION ${TESMIRA_CMAKE_INSTALL_DIR})
# 0.x: a new minor version may change the contract.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TesmiraConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TesmiraConfig.cmake
  ${PROJECT_BINARY_DIR}/TesmiraConfigVersion.cmake DESTINATION ${TESMIRA_CMAKE_INSTALL_DIR})

# The pkg-config file finds the prefix from its own place, so it stays right
# wherever the tree is installed or unpacked.
file(RELATIVE_PATH TESMIRA_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig
  ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" TESMIRA_PC_TO_PREFIX "${TESMIRA_PC_TO_PREFIX}")
configure_file(cmake/tesmira.pc.in ${PROJECT_BINARY_DIR}/tesmira.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tesmira.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The Debian package: what the rules above install, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tesmira)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Catalogue maintenance windows for a health-examination application")
set(CPACK_PACKAGE_DESCRIPTION
  "A plug-in library (Qt 6) that gives a health-examination management program its catalogue \
maintenance windows: categories, examination items, combination items, check sets and sample \
tubes. Includes the reference host tesmira-host, the database set-up command tesmira-dbinit, the catalogue exchange command tesmira-catalog, \
the schemas for SQLite and SQL Server, and the SDK a host program builds against.")
set(CPACK_PACKAGE_CONTACT "Tesmira developers <tesmira@example.org>")
# Installed with DESTDIR into a staging folder, so the install-time rules see
# the prefix of the target system (/usr).
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries the programs and the library link (Qt, SOCI, SQLite, unixODBC,
# pugixml, and libxlsxwriter and libzip for the exchange's XLSX files) are
# found by dpkg-shlibdeps from the binaries themselves, with their versions.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not linked, but needed on a desktop: Qt's display plugins and the CJK font;
# the ODBC drivers of the server databases.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins, fonts-wqy-zenhei")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "tdsodbc, odbc-postgresql")
# A site edits cfg/cfg.config: dpkg keeps its edits on upgrade.
file(WRITE ${PROJECT_BINARY_DIR}/debian/conffiles
  "${CPACK_PACKAGING_INSTALL_PREFIX}/${TESMIRA_PLUGIN_INSTALL_DIR}/cfg/cfg.config\n")
# The group tesmira, and the modes and group of the configuration and the
# state folder, are given by the postinst (the package's files are root's).
set(TESMIRA_CFG_FILE ${CPACK_PACKAGING_INSTALL_PREFIX}/${TESMIRA_PLUGIN_INSTALL_DIR}/cfg/cfg.config)
set(TESMIRA_STATE_FOLDER /var/lib/tesmira)
configure_file(cmake/debian/postinst.in ${PROJECT_BINARY_DIR}/debian/postinst @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
  WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_BINARY_DIR}/debian/conffiles ${PROJECT_BINARY_DIR}/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
