# `cpack -G DEB` in the build folder: a Debian package of what
# `cmake --install` installs. dpkg-shlibdeps finds the libraries the
# programs link; the GStreamer elements and Qt's platform plugins are
# loaded at run time, so they are named here.
set(CPACK_PACKAGE_NAME kelbo)
set(CPACK_PACKAGE_VENDOR "Kelbo")
set(CPACK_PACKAGE_CONTACT "Kelbo maintainers <maintainers@kelbo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "personal video recorder for the Linux desktop")
set(CPACK_PACKAGE_DESCRIPTION
  "Kelbo keeps a schedule of TV programmes in a plain text file and records\n each one from a capture card (or a test pattern) to MPEG files at its time.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, qt6-qpa-plugins")
# Qt's own translations: its standard buttons in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-alsa, hicolor-icon-theme, qt6-translations-l10n")
include(CPack)
