# What `cmake --install` puts where, and the Debian package CPack builds from the same rules:
#   bin/                       the designer and veskaro-cli
#   share/veskaro/             the data files as they ship (slider scripts minified), help and samples,
#                              where the installed programs look for them (../share/veskaro/ from their
#                              own folder)
#   share/applications/        the menu entry, which opens "*.vsk" files with the designer
#   share/mime/packages/       the type of "*.vsk" files
#   share/icons/hicolor/       the program icon, also shown for its project files
# These entry and type files are the system-wide ones. The designer is built with their text (see
# src/platform/CMakeLists.txt) and writes them for its user at every start, the entry with its own full path.

if(TARGET veskaro)
    install(TARGETS veskaro RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
endif()
if(TARGET veskaro-cli)
    install(TARGETS veskaro-cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
else()
    message(STATUS "veskaro-cli is not part of this source tree: it is neither installed nor tested")
endif()

install(DIRECTORY "${VESKARO_SHIPPED_DATA}/" DESTINATION "${CMAKE_INSTALL_DATADIR}/veskaro")

install(FILES "${PROJECT_SOURCE_DIR}/desktop/veskaro.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${PROJECT_SOURCE_DIR}/desktop/veskaro.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages")

set(icon_sizes 16 32 64 128 256)
set(icon_files veskaro.png veskaro@2x.png veskaro-64.png veskaro-128.png veskaro-256.png)
foreach(size file IN ZIP_LISTS icon_sizes icon_files)
    set(folder "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}")
    set(picture "${PROJECT_SOURCE_DIR}/src/ui/icons/${file}")
    install(FILES "${picture}" DESTINATION "${folder}/apps" RENAME veskaro.png)
    install(FILES "${picture}" DESTINATION "${folder}/mimetypes" RENAME application-x-veskaro-project.png)
endforeach()

# `cpack` in a build folder makes the Debian package. Its library dependencies are worked out from the
# programs themselves; the menu, type and icon caches are refreshed by the desktop packages' triggers.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veskaro)
set(CPACK_PACKAGE_VENDOR "Tarnwell Software")
set(CPACK_PACKAGE_CONTACT "Tarnwell Software <veskaro@example.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.example.com/veskaro/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "designer for image sliders on web pages")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Veskaro lists a slider's pictures with their links and descriptions, sets its size, button colours and "
    "timings, and publishes a folder that can be uploaded as it is: the page, its style sheet and scripts, and "
    "slider-sized copies of the pictures. veskaro-cli publishes projects without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
