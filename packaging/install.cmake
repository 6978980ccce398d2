# What `cmake --install` puts where, and the Debian package CPack makes of it. The programs
# carry everything else they need inside their resources.
include(GNUInstallDirs)

set(ZORBIN_PROGRAMS Zorbin)
if(TARGET CDB.Zorbin)
    list(APPEND ZORBIN_PROGRAMS CDB.Zorbin)
endif()
install(TARGETS ${ZORBIN_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(ZORBIN_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/zorbin)
install(FILES ${PROJECT_SOURCE_DIR}/assets/about.html DESTINATION ${ZORBIN_DOCDIR})
install(FILES ${ASSETS_NPM}/vazirmatn/OFL.txt DESTINATION ${ZORBIN_DOCDIR} RENAME Vazirmatn-OFL.txt)
install(FILES ${ASSETS_NPM}/bootstrap-icons/LICENSE DESTINATION ${ZORBIN_DOCDIR}
        RENAME bootstrap-icons-LICENSE.txt)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${ZORBIN_DOCDIR})

foreach(id example.zorbin.Zorbin example.zorbin.CDB)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/${id}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/${id}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/example.zorbin.Zorbin.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorbin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zorbin")
set(CPACK_PACKAGE_CONTACT "Zorbin <info@zorbin.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "organiser for your life on the Internet, in Persian")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "organiser for your life on the Internet, in Persian\n Zorbin keeps the web sites you are registered at (your user name and\n password there, the administrator, social links, notes), the subjects\n that group them, and a phone book with pictures, in one encrypted\n database file. Its interface is Persian and right to left.\n .\n CDB.Zorbin carries the records of a version 1.0 database over.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.zorbin.example/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link decide the dependencies; the Persian texts of Qt's own
# dialogs and the SVG plugin are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, libqt6svg6")
set(CPACK_STRIP_FILES ON)
include(CPack)
