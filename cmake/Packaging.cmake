# Software-centre entry, manual page, package documents and the Debian
# package (cmake --build build --target package). Included at the end of the
# top-level CMakeLists.txt, after the install rules of the program.

set(KARTAVIO_PACKAGE_MAINTAINER "Kelvara <paket@kartavio.example>" CACHE STRING
    "Maintainer of the Debian package (name <mail>)")
# Public addresses for people and software centres, over HTTPS (the program
# itself talks to the hosts as configured above).
set(KARTAVIO_HOMEPAGE "https://${KARTAVIO_SITE_HOST}/")
# Where the product site publishes docs/screenshots/ for software centres.
set(KARTAVIO_SCREENSHOT_URL "https://${KARTAVIO_SITE_HOST}/kartavio/screenshots" CACHE STRING
    "Public folder of the screenshots named in the software-centre entry")
# The release this version is, in the two forms the metadata files need.
set(KARTAVIO_RELEASE_DATE "2026-12-08")
set(KARTAVIO_RELEASE_DATE_RFC "Tue, 08 Dec 2026 00:00:00 +0000")

# Screenshots for the software centre, in the order shown: file, German and
# English caption. The first one is the default.
set(KARTAVIO_SCREENSHOTS
  "panel0-waehrung.png|Währungsumrechnung zum Tageskurs|Currency conversion at the daily rate"
  "panel1-benzin.png|Benzinpreise, Verbrauch und Spritkosten|Fuel prices, consumption and trip cost"
  "panel3-umrechnungen.png|Temperatur, Gewicht und Längen|Temperature, weight and length"
  "panel4-zoll.png|Zoll und Freigrenzen|Duty and duty-free allowance"
  "panel11-trinkgeld.png|Trinkgeldrechner|Tip calculator"
  "panel5-uebersetzen.png|Übersetzen|Translation"
  "panel6-weblinks.png|Nützliche Weblinks|Useful web links"
  "panel10-bus-zug.png|Bus- und Zugverbindungen je Bundesstaat|Bus and train connections by state"
  "panel12-wortschatz.png|Wortschatz|Vocabulary")

set(KARTAVIO_SCREENSHOT_XML "")
set(type " type=\"default\"")
foreach(entry ${KARTAVIO_SCREENSHOTS})
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 file)
  list(GET fields 1 captionDe)
  list(GET fields 2 captionEn)
  # Width and height from the PNG's IHDR chunk, so the entry follows the pictures.
  set(png "${CMAKE_CURRENT_SOURCE_DIR}/docs/screenshots/${file}")
  file(READ "${png}" head LIMIT 24 HEX)
  string(SUBSTRING "${head}" 32 8 width)
  string(SUBSTRING "${head}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${png}")
  string(APPEND KARTAVIO_SCREENSHOT_XML
    "    <screenshot${type}>\n"
    "      <caption>${captionEn}</caption>\n"
    "      <caption xml:lang=\"de\">${captionDe}</caption>\n"
    "      <image type=\"source\" width=\"${width}\" height=\"${height}\">${KARTAVIO_SCREENSHOT_URL}/${file}</image>\n"
    "    </screenshot>\n")
  set(type "")
endforeach()

configure_file(${CMAKE_CURRENT_SOURCE_DIR}/resources/kartavio.metainfo.xml.in
               ${CMAKE_CURRENT_BINARY_DIR}/${KARTAVIO_APP_ID}.metainfo.xml @ONLY)
# The manual page in German, where man looks under a German locale, and a
# short English one for every other locale.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/resources/kartavio.1.in
               ${CMAKE_CURRENT_BINARY_DIR}/doc/de/kartavio.1 @ONLY)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/resources/kartavio.en.1.in
               ${CMAKE_CURRENT_BINARY_DIR}/doc/kartavio.1 @ONLY)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/resources/debian/copyright.in
               ${CMAKE_CURRENT_BINARY_DIR}/doc/copyright @ONLY)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/resources/debian/changelog.in
               ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog @ONLY)

# Manual pages and changelog are installed gzip-compressed, without a time
# stamp in the header (-n), as Debian expects.
find_program(KARTAVIO_GZIP gzip REQUIRED)
set(compressed "")
foreach(doc kartavio.1 de/kartavio.1 changelog)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/doc/${doc}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${KARTAVIO_GZIP} -n -9 -f -k ${CMAKE_CURRENT_BINARY_DIR}/doc/${doc}
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/doc/${doc}
    COMMENT "Compressing ${doc}" VERBATIM)
  list(APPEND compressed ${out})
endforeach()
add_custom_target(kartavio_docs ALL DEPENDS ${compressed})

install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${KARTAVIO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/doc/kartavio.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/doc/de/kartavio.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/de/man1)
# The version is that of a Debian-native package, so its changelog is
# changelog.gz; the copyright file names the licence of every file.
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/doc/copyright ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kartavio)

# The package itself, only for a top-level build.
if(NOT PROJECT_IS_TOP_LEVEL)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kartavio)
set(CPACK_PACKAGE_VENDOR Kelvara)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${KARTAVIO_PACKAGE_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
# /usr, whatever CMAKE_INSTALL_PREFIX says; the program finds its states list
# relative to its own folder, so the install prefix of the build does not matter.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "travel toolbox for German-speaking travellers to the USA")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME kartavio)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KARTAVIO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KARTAVIO_HOMEPAGE}")
# Libraries from the executable's links; beside them what it needs at run
# time without linking: Qt's German texts and the narrow font the fixed
# layout is measured for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation2")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# One short description per language: the English synopsis (the summary
# above, which CPack puts first) and the German one opening the German
# paragraph; an empty line separates the paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Kartavio is a small toolbox for German-speaking travellers to the USA:
currency at the daily rate (fetched once a day and kept for offline use),
fuel prices and consumption, trip cost, temperature, length and weight,
tip, duty-free allowance and duty, lookups opened in the browser and
embedded web pages. The calculators recompute as you type and remember
what you typed. Everything in the program is in German.

Reise-Werkzeugkasten für deutschsprachige Reisende in die USA.
Kartavio rechnet Euro und Dollar zum Tageskurs um, dazu Benzinpreise und
Verbrauch, Spritkosten, Temperaturen, Längen und Gewichte, Trinkgeld,
Freigrenze und Zoll. Weitere Werkzeuge öffnen Nachschlage-Seiten im
Browser oder zeigen Webseiten im Fenster.")

include(CPack)
