# What `cmake --install` lays out beside the programs (their install rules sit with their targets), and the
# Debian package CPack builds from it: `cpack --config build/CPackConfig.cmake`.
include(GNUInstallDirs)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/varnel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/varnel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
    RENAME varnel.xml)
install(FILES ${PROJECT_SOURCE_DIR}/src/gui/icons/varnel.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnel)
set(CPACK_PACKAGE_VENDOR "Varnel developers")
set(CPACK_PACKAGE_CONTACT "Varnel developers <developers@varnel.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reference manager for scientific literature")
set(CPACK_PACKAGE_DESCRIPTION "Varnel keeps a library of papers filed under their journal, publisher or \
conference, imports and exports RIS and EndNote files, fetches citations and PDFs by DOI or article address, \
formats references in your own styles, shows PDFs in its window and backs the library up into one archive.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.varnel.org/")
# Debian 12 package names. libqt6svg6 carries the SVG icon plugins and firebird3.0-server-core the embedded
# database engine: neither is linked, both are needed. The UNO runtime (ure, libuno-*) reaches LibreOffice
# Writer; Writer itself is only recommended.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), \
libqt6pdf6 (>= 6.4), libqt6pdfwidgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), libqt6svg6 (>= 6.4), \
libfbclient2 (>= 3.0), firebird3.0-server-core (>= 3.0), libzip4, ure, libuno-sal3, libuno-cppu3, \
libuno-cppuhelpergcc3-3, libuno-salhelpergcc3-3, libjemalloc2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, libreoffice-writer")
# The desktop's MIME, desktop-entry and icon caches are refreshed by the triggers of their own packages.
set(CPACK_STRIP_FILES ON)
include(CPack)
