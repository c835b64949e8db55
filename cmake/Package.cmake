# The Debian package (scripts/package): what `cmake --install` puts in place, with its
# dependencies read from the shared libraries it links plus what it loads at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvanel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Corvanel developers")
set(CPACK_PACKAGE_CONTACT "The Corvanel developers <packages@corvanel.app>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://corvanel.app/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "stereo vocal reducer with key and tempo change")
# The extended description; the synopsis above is its first line in the package.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Corvanel plays a stereo song while a spectral filter removes whatever sits at
a chosen stereo position, usually the centre where the lead vocal is. The
filter, the key and the tempo can be changed while the song plays, and the
result exported to WAV, MP3, FLAC, Ogg Vorbis, Opus or M4A through
command-line encoders. corvanel-cli does the same for batches of files.

The interface is in Japanese.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so not seen by shlibdeps: the Japanese font. (Qt's SVG plug-ins come with
# libqt6svg6, which the window links.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "lame, flac, vorbis-tools, opus-tools, ffmpeg, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
