# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A Debian package of the installed tree (scripts/package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pressly-pro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${PRESSLY_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "image optimizer: smaller images that look the same")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Pressly Pro makes PNG, JPEG, GIF, SVG, WebP, HEIC and DNG images smaller
by running them through the open-source tools that suit them and keeping the
smallest result. The window takes dropped files and folders; the pressly
command does the same from a terminal or a script.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PRESSLY_HOMEPAGE}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries' links cannot show: the QML modules the window imports
# (and those they import), the tools run as programs, and Node.js for the SVG
# adapter.
set(PRESSLY_RUNTIME_PACKAGES
  qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript qml6-module-qtquick
  qml6-module-qtquick-controls qml6-module-qtquick-templates qml6-module-qtquick-window
  qml6-module-qtquick-layouts qml6-module-qtquick-shapes
  pngquant jpegoptim libjpeg-turbo-progs gifsicle "nodejs (>= 18)")
list(JOIN PRESSLY_RUNTIME_PACKAGES ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# Wayland sessions run it natively with the plugin, through XWayland without.
# Qt's own translations word the standard dialogs in the user's language.
# Nautilus runs the extension that offers "Optimize with Pressly Pro" through
# nautilus-python.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n, python3-nautilus")
include(CPack)
