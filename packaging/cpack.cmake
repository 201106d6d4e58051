# A Debian package of what `cmake --install` puts in place; its dependencies
# are found from the shared libraries of the programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME urbica)
set(CPACK_PACKAGE_VENDOR "Команда Urbica")
set(CPACK_PACKAGE_CONTACT "Команда Urbica <info@urbica.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop map of one city with house and metro search")
set(CPACK_PACKAGE_DESCRIPTION
    "Urbica shows the map of one city in layers, with labels, an overview map\n"
    "and a history of views. It finds a house by street and number, any named\n"
    "object by text and a metro station, keeps bookmarks, prints and exports\n"
    "pictures, and makes the map of a city from OpenStreetMap data. Its\n"
    "interface is in Russian.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://urbica.example/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# Loaded at run time, so not found from the libraries: Qt's own dialogs in
# Russian and the fonts the map is drawn with.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core, fonts-liberation")
include(CPack)
