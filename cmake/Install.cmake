# What `cmake --install` puts where (GNU layout under the prefix), and the Debian package CPack
# makes of it:
#   bin/QEL, bin/qel-store, bin/QELUpdater (when built)
#   share/vantrel/          the read-only resources: sounds, templates (EmptyContacts.mdb), help,
#                           carriers.txt (looked up there by platform/ProgramFolder.h)
#   share/applications/Vantrel.desktop, share/metainfo/invalid.vantrel.Vantrel.metainfo.xml
#   share/icons/hicolor/NxN/apps/vantrel.png
# The program's writable files never go there: an installed program keeps them in the per-user
# data folder (~/.local/share/QEL), or in QEL_HOME.
set(QEL_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/vantrel)

install(TARGETS QEL qel-store RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET QELUpdater)
    install(TARGETS QELUpdater RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/ DESTINATION ${QEL_INSTALL_DATA_DIR}
        PATTERN README.md EXCLUDE PATTERN CMakeLists.txt EXCLUDE PATTERN *.cpp EXCLUDE
        PATTERN desktop EXCLUDE PATTERN icons EXCLUDE)
install(FILES ${QEL_SOUNDS} DESTINATION ${QEL_INSTALL_DATA_DIR}/sounds)
install(FILES ${QEL_TEMPLATE} DESTINATION ${QEL_INSTALL_DATA_DIR}/templates)
install(FILES ${QEL_DESKTOP_ENTRY} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QEL_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${QEL_ICON_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR Vantrel)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "Vantrel developers <dev@vantrel.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON) # the libraries' packages, from dpkg-shlibdeps
# Loaded rather than linked: Qt's Wayland window-system plugin (X11's comes with Qt GUI).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
