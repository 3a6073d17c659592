# Installing the program as a desktop program (`cmake --install`), and its
# Debian package (`cpack -G DEB` in the build directory).
include(GNUInstallDirs)
# Installing builds nothing: build the program first (the package script
# does), so a package does not wait for every test to be built.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

install(TARGETS upgrade-devir RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Helper programs that the program starts install themselves into
# ${CMAKE_INSTALL_BINDIR} too, beside it.
if(UD_BUILD_GUI)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/upgrade-devir.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/upgrade-devir.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME upgrade-devir)
set(CPACK_PACKAGE_VENDOR ZEFIRTAK)
set(CPACK_PACKAGE_CONTACT "ZEFIRTAK <destek@zefirtak.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "KMX yıl sonu devir ve sürüm yükseltme programı")
set(CPACK_PACKAGE_DESCRIPTION "KMX muhasebe programının şirket verilerini yeni yıla devreder \
(isteğe bağlı YTL dönüşümüyle) ve Orvan veya Lumex sürümünün verilerini Pravex'e taşır.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries the program links come from dpkg-shlibdeps; what it loads
# or reads at run time is named here: Qt's window-system plugins, Qt's
# Turkish texts, and the faces that stand in for the Windows fonts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-liberation2, fonts-lato")
include(CPack)
