# The Debian package, made by CPack from the install rules (scripts/package.sh).
# Whatever the install rules install is packaged.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velumo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velumo Soft")
set(CPACK_PACKAGE_CONTACT "Velumo Soft <support@velumo-soft.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cut a part of a music file into a phone ringtone")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_OUTPUT_FILE_PREFIX .)

set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.velumo-soft.com/ringtone-maker/")
# CPack puts the summary line above this text.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Velumo MP3 Ringtone Maker opens an MP3, WAV, WMA or any other music file,
shows it as a timeline with a seconds ruler, plays the whole file or a marked
segment, and saves the segment as an MP3, AMR-NB, iPhone (M4R) or Android
(Ogg Vorbis) ringtone.")
# The libraries the program links, found by dpkg-shlibdeps, plus the converter
# the export runs and its AMR-NB encoder, and libvorbisfile for av (which the
# program carries inside it, where dpkg-shlibdeps does not look).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg, libavcodec-extra, libvorbisfile3")
# Qt's own texts (file dialog, message box buttons) in the user's language;
# KDE Connect, through which Send to phone reaches the phone.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, kdeconnect")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
