# Installing under any prefix, and the Debian package made from the same rules.
include(GNUInstallDirs)

set(Q7_APP_ID "example.lirabel.lirabel3" CACHE STRING "AppStream id (reversed domain of the publisher)")
set(Q7_HOMEPAGE "https://lirabel.example/" CACHE STRING "Home page named by the AppStream data")
set(Q7_SCREENSHOT "${Q7_HOMEPAGE}captures/lirabel3.png" CACHE STRING
    "Published copy of docs/lirabel3-desktop.png, named by the AppStream data")

# The program is lirabel3, as Linux programs are named; Lirabel3 stays as a link.
set_target_properties(Lirabel3 PROPERTIES OUTPUT_NAME lirabel3)
add_custom_command(TARGET Lirabel3 POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E create_symlink lirabel3 $<TARGET_FILE_DIR:Lirabel3>/Lirabel3)
install(TARGETS Lirabel3 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(CODE "file(CREATE_LINK lirabel3
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/Lirabel3\" SYMBOLIC)")

install(FILES resources/Q7aide.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/lirabel3)
install(FILES resources/desktop/lirabel3.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(resources/desktop/lirabel3.metainfo.xml.in ${Q7_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${Q7_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Manual pages go compressed, as Debian has them; gzip -n keeps the package reproducible.
find_program(Q7_GZIP gzip REQUIRED)
foreach(page lirabel3 lirabel3-import)
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/resources/man/${page}.1)
  set(packed ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${packed}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
      COMMAND ${Q7_GZIP} -9 -n -c ${source} > ${packed}
      DEPENDS ${source})
  list(APPEND q7_manpages ${packed})
endforeach()
add_custom_target(manpages ALL DEPENDS ${q7_manpages})
install(FILES ${q7_manpages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(TARGETS lirabel3-import RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/icons/lirabel3.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES resources/icons/hicolor/${size}x${size}/lirabel3.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian's copyright file: the licence of the whole program, GPL-3.0-or-later (LICENSE).
configure_file(resources/debian/copyright.in copyright @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lirabel3)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lirabel3)
set(CPACK_PACKAGE_VENDOR "Les auteurs de Lirabel")
set(CPACK_PACKAGE_CONTACT "Les auteurs de Lirabel <${Q7_CONTACT}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue de bibliothèque personnelle")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Lirabel 3 tient le catalogue d'une bibliothèque personnelle : jusqu'à
40 000 livres, saisis fiche par fiche dans une seule fenêtre, en français.
Recherche, listes de valeurs, exportations TXT, SQL, CSV et HTML,
impression de fiches et d'étiquettes, tri et statistiques. Les dossiers
de données venus de Windows s'ouvrent tels quels.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${Q7_HOMEPAGE}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The Qt libraries come from what the program links; Qt's French texts, and the faces
# that printing asks for (Helvetica's metrics) and the screen uses, are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-translations-l10n, fonts-urw-base35 | fonts-liberation2, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins, qt6-wayland")
include(CPack)
