# What `cmake --install` puts where, and the Debian package made from the
# same rules by `cpack -G DEB`. Paths follow GNUInstallDirs, so the player
# finds its production at the same place relative to itself under any prefix.

install(TARGETS vplayer vpdpack vpimport RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The player that `vpdpack release` puts into a release folder; vpdpack finds
# it at lib/vplayer beside its own bin/.
if(TARGET vplayer-release)
  install(TARGETS vplayer-release RUNTIME DESTINATION lib/vplayer)
endif()

# The sample production: the archive and its soundtrack (the loose data/
# files are the build's, for authoring).
install(FILES ${VP_PRODUCTION_DIR}/data.vpd ${VP_PRODUCTION_DIR}/velmorprocess-zqfinal.ogg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vplayer)

install(FILES ${PROJECT_SOURCE_DIR}/dist/vplayer.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size ${VP_ICON_SIZES})
  install(FILES ${VP_ICON_DIR}/${size}x${size}/apps/vplayer.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Man pages are installed compressed, as Debian wants them (man reads both).
file(GLOB man_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dist/man/*.1)
set(man_outputs "")
foreach(page ${man_pages})
  get_filename_component(name ${page} NAME)
  set(out ${PROJECT_BINARY_DIR}/man/${name}.gz)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND gzip -9nc ${page} > ${out}
    DEPENDS ${page}
    COMMENT "Compressing the man page ${name}")
  list(APPEND man_outputs ${out})
endforeach()
add_custom_target(manpages ALL DEPENDS ${man_outputs})
install(FILES ${man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The manual, the tutorial and the tutorial's example production.
install(FILES ${PROJECT_SOURCE_DIR}/docs/manual.md ${PROJECT_SOURCE_DIR}/docs/tutorial.md
              ${PROJECT_SOURCE_DIR}/docs/production.png
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/example ${PROJECT_SOURCE_DIR}/docs/figures
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The sample production's sources, for authors to read: its script (the
# archive holds the same files) and the list of its scenes.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/production/data DESTINATION ${CMAKE_INSTALL_DOCDIR}/production
        FILES_MATCHING PATTERN "*.scr")
install(FILES ${PROJECT_SOURCE_DIR}/production/scenes.txt DESTINATION ${CMAKE_INSTALL_DOCDIR}/production)
install(FILES ${PROJECT_SOURCE_DIR}/dist/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(changelog_gz ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${changelog_gz}
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/dist/changelog > ${changelog_gz}
  DEPENDS ${PROJECT_SOURCE_DIR}/dist/changelog
  COMMENT "Compressing the changelog")
add_custom_target(changelog ALL DEPENDS ${changelog_gz})
install(FILES ${changelog_gz} DESTINATION ${CMAKE_INSTALL_DOCDIR})

# --- Debian package ----------------------------------------------------------
set(CPACK_PACKAGE_NAME vplayer)
set(CPACK_PACKAGE_VENDOR "vplayer developers")
# Whoever builds a package for others names themselves with -DVP_PACKAGE_MAINTAINER.
set(VP_PACKAGE_MAINTAINER "vplayer developers <vplayer-dev@example.org>" CACHE STRING
    "The Debian package's Maintainer field")
set(CPACK_PACKAGE_CONTACT "${VP_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time demo player")
set(CPACK_PACKAGE_DESCRIPTION
    "A text script drives compiled-in OpenGL effects in step with an Ogg Vorbis\n"
    "soundtrack. Includes a sample production, the archive packer vpdpack and\n"
    "the model importer vpimport.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Video export runs ffmpeg when asked to; the player works without it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS ffmpeg)
# vpdpack release gives the libraries it ships run paths with patchelf.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS patchelf)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
