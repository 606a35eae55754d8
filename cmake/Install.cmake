# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts under the prefix, and the files it needs built
# first: the launcher, the AppStream data, the icons, the man pages, the
# bash completion, the systemd user unit and the file managers' actions.
# Everything found at run time is found relative to the executable, so an
# installed tree can be moved as a whole (the unit alone names the installed
# program by its full path).
include(GNUInstallDirs)

set(PRESSLY_HOMEPAGE "https://pressly.pro" CACHE STRING "Project web page named in the AppStream data")
set(PRESSLY_SCREENSHOTS_URL "${PRESSLY_HOMEPAGE}/screenshots" CACHE STRING
    "Where the PNGs of data/screenshots are published")
set(PRESSLY_MAINTAINER "Pressly Pro developers <packages@pressly.pro>" CACHE STRING "Package maintainer")

set(DATA_OUT ${CMAKE_BINARY_DIR}/data)
set(RESOURCES_DEST ${CMAKE_INSTALL_DATADIR}/pressly-pro)
set(TOOLS_DEST ${RESOURCES_DEST}/BundledTools/bin)

configure_file(data/app.desktop.in ${DATA_OUT}/${PRESSLY_APP_ID}.desktop @ONLY)
configure_file(data/app.metainfo.xml.in ${DATA_OUT}/${PRESSLY_APP_ID}.metainfo.xml @ONLY)
# Dated by SOURCE_DATE_EPOCH, else by the last commit, never by the build: the
# same sources make the same package.
set(changelog_epoch "$ENV{SOURCE_DATE_EPOCH}")
if(changelog_epoch STREQUAL "")
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE changelog_epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(changelog_epoch STREQUAL "")
  set(changelog_epoch 0)
endif()
set(ENV{SOURCE_DATE_EPOCH} ${changelog_epoch})
string(TIMESTAMP PRESSLY_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(data/changelog.Debian.in ${DATA_OUT}/changelog.Debian @ONLY)

# The icon at every size a desktop looks for, drawn from the one SVG.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(ICON_SIZES 16 22 24 32 48 64 128 256 512)
set(ICON_PNGS)
foreach(size ${ICON_SIZES})
  set(png ${DATA_OUT}/icons/${size}x${size}/${PRESSLY_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DATA_OUT}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} ${CMAKE_SOURCE_DIR}/data/icons/app-icon.svg -o ${png}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/icons/app-icon.svg VERBATIM)
  list(APPEND ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian keeps manuals and changelogs compressed, reproducibly (-n: no time stamp).
set(GZIPPED)
foreach(source data/pressly.1 data/pressly-pro.1 ${DATA_OUT}/changelog.Debian)
  get_filename_component(name ${source} NAME)
  get_filename_component(path ${source} ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
  add_custom_command(OUTPUT ${DATA_OUT}/${name}.gz
    COMMAND gzip -9nc ${path} > ${DATA_OUT}/${name}.gz
    DEPENDS ${path} VERBATIM)
  list(APPEND GZIPPED ${DATA_OUT}/${name}.gz)
endforeach()
add_custom_target(desktop_data ALL DEPENDS ${ICON_PNGS} ${GZIPPED})

install(TARGETS pressly pressly-pro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${DATA_OUT}/${PRESSLY_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DATA_OUT}/${PRESSLY_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/icons/app-icon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${PRESSLY_APP_ID}.svg)
install(FILES ${DATA_OUT}/pressly.1.gz ${DATA_OUT}/pressly-pro.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The unit names the program by the prefix given to the install, not the configured one.
install(CODE "
  file(READ \"${CMAKE_SOURCE_DIR}/data/pressly-watch.service.in\" unit)
  string(REPLACE @BINDIR@ \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\" unit \"\${unit}\")
  set(target \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/systemd/user/pressly-watch.service\")
  message(STATUS \"Installing: \${target}\")
  file(WRITE \"\${target}\" \"\${unit}\")")
install(FILES data/completions/pressly data/completions/pressly-pro DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES data/qlogging-categories6/pressly.categories DESTINATION ${CMAKE_INSTALL_DATADIR}/qlogging-categories6)

# "Optimize with Pressly Pro" in the file managers: Dolphin's service menu
# (which KIO runs only when it is executable), Nemo's action, the Nautilus
# extension, and Thunar's action for users to copy into their own actions.
configure_file(data/filemanagers/servicemenu.desktop.in ${DATA_OUT}/filemanagers/pressly-pro-optimize.desktop @ONLY)
configure_file(data/filemanagers/pressly-pro.nemo_action.in ${DATA_OUT}/filemanagers/pressly-pro.nemo_action @ONLY)
configure_file(data/filemanagers/thunar-uca.xml.in ${DATA_OUT}/filemanagers/uca.xml @ONLY)
install(PROGRAMS ${DATA_OUT}/filemanagers/pressly-pro-optimize.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/kio/servicemenus)
install(FILES ${DATA_OUT}/filemanagers/pressly-pro.nemo_action DESTINATION ${CMAKE_INSTALL_DATADIR}/nemo/actions)
install(FILES data/filemanagers/pressly_pro.py DESTINATION ${CMAKE_INSTALL_DATADIR}/nautilus-python/extensions)
install(FILES ${DATA_OUT}/filemanagers/uca.xml DESTINATION ${RESOURCES_DEST}/thunar)
install(FILES data/copyright ${DATA_OUT}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pressly-pro)

# The bundled tools as the build tree sees them (links to the set-up's
# downloads and our adapters, and tools built here): the files themselves.
# Programs built for one machine type live under lib/, linked from the
# tools' folder, which is under share/ where only portable files belong.
set(PRIVATE_LIB_DEST lib/pressly-pro)
install(CODE "
  file(GLOB tools \"${BUNDLED_TOOLS_DIR}/*\")
  set(permissions OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  foreach(tool \${tools})
    get_filename_component(name \${tool} NAME)
    file(REAL_PATH \${tool} real)
    file(READ \${real} magic LIMIT 4 HEX)
    if(magic STREQUAL 7f454c46)
      file(INSTALL \${real} DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${PRIVATE_LIB_DEST}\" RENAME \${name}
           FILE_PERMISSIONS \${permissions})
      # Tools built here carry symbols; a package ships them stripped like our own programs.
      if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${root}/${PRIVATE_LIB_DEST}/\${name}\"
                        COMMAND_ERROR_IS_FATAL ANY)
      endif()
      file(MAKE_DIRECTORY \"\${root}/${TOOLS_DEST}\")
      message(STATUS \"Installing: \${root}/${TOOLS_DEST}/\${name} -> lib\")
      file(CREATE_LINK ../../../../${PRIVATE_LIB_DEST}/\${name} \"\${root}/${TOOLS_DEST}/\${name}\" SYMBOLIC)
    else()
      file(INSTALL \${real} DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${TOOLS_DEST}\" RENAME \${name}
           FILE_PERMISSIONS \${permissions})
    endif()
  endforeach()")
# svgo, which the svgcleaner adapter runs, beside the tools' bin folder.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/.tools/svgo/node_modules DESTINATION ${RESOURCES_DEST}/BundledTools/svgo
        PATTERN .bin EXCLUDE PATTERN .package-lock.json EXCLUDE REGEX "/svgo/bin$" EXCLUDE)
# lintian: what cannot be changed here, with the reasons.
install(FILES data/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME pressly-pro)
