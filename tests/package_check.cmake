# Builds the Debian package and checks it as a distribution would: control
# fields, the files against the install manifest, the compressed manual page,
# the software-centre entry (appstreamcli) and the launcher
# (desktop-file-validate), lintian, the hardening of the program; then unpacks it into a temporary root and
# starts the unpacked program's self-check from another folder, offline.
#
# cmake -DBUILD_DIR=... -DWORK_DIR=... -DSOURCE_DIR=... -DAPP_ID=... -DVERSION=...
#       -DBINDIR=bin -DDATADIR=share -DMANDIR=share/man [-DHARDENED=ON] -P package_check.cmake

cmake_minimum_required(VERSION 3.25)

foreach(var BUILD_DIR WORK_DIR SOURCE_DIR APP_ID VERSION BINDIR DATADIR MANDIR)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "package_check: ${var} not given")
  endif()
endforeach()
foreach(tool dpkg dpkg-deb dpkg-shlibdeps appstreamcli desktop-file-validate lintian gzip file)
  string(TOUPPER "${tool}" var)
  string(REPLACE "-" "_" var "${var}")
  find_program(${var} ${tool})
  if(NOT ${var})
    message(FATAL_ERROR "package_check: ${tool} not found (tools/install-deps.sh installs it)")
  endif()
endforeach()

# Runs a command; stops the test with its output unless it exits with 0.
function(run_ok what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
set(root "${WORK_DIR}/root")
file(MAKE_DIRECTORY "${WORK_DIR}/elsewhere" "${WORK_DIR}/home" "${WORK_DIR}/runtime")
file(CHMOD "${WORK_DIR}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

# 1. Build the package under its Debian name.
run_ok("dpkg --print-architecture" "${DPKG}" --print-architecture)
string(STRIP "${out}" arch)
set(deb "${BUILD_DIR}/kartavio_${VERSION}_${arch}.deb")
file(REMOVE "${deb}")
run_ok("cmake --build --target package" "${CMAKE_COMMAND}" --build "${BUILD_DIR}" --target package)
if(NOT EXISTS "${deb}")
  file(GLOB written "${BUILD_DIR}/*.deb")
  message(FATAL_ERROR "package not written as ${deb}; found: ${written}")
endif()
file(SIZE "${deb}" bytes)
message(STATUS "Package: ${deb} (${bytes} bytes)")

# 2. Control fields.
run_ok("dpkg-deb --field" "${DPKG_DEB}" --field "${deb}")
message(STATUS "Control fields:\n${out}")
string(REGEX REPLACE "\n " " " control "${out}")
foreach(field "Package: kartavio" "Version: ${VERSION}" "Architecture: ${arch}" "Section: utils"
              "Priority: optional")
  if(NOT control MATCHES "(^|\n)${field}\n")
    message(FATAL_ERROR "control lacks \"${field}\"")
  endif()
endforeach()
foreach(field Maintainer Homepage Description Installed-Size)
  if(NOT control MATCHES "(^|\n)${field}: [^\n]+")
    message(FATAL_ERROR "control lacks ${field}")
  endif()
endforeach()
if(NOT control MATCHES "\nDepends: ([^\n]+)")
  message(FATAL_ERROR "control lacks Depends")
endif()
string(REPLACE ", " ";" depends "${CMAKE_MATCH_1}")
list(TRANSFORM depends REPLACE " .*" "")
foreach(need libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6webenginewidgets6
             qt6-translations-l10n fonts-liberation2)
  if(NOT need IN_LIST depends)
    message(FATAL_ERROR "Depends lacks ${need}: ${depends}")
  endif()
endforeach()

# 3. Its files are those cmake --install writes, under /usr, owned by root;
#    the program is stripped and executable, everything else only readable.
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${err}")
endif()
file(STRINGS "${BUILD_DIR}/install_manifest.txt" manifest)
list(TRANSFORM manifest REPLACE "^${prefix}/" "/usr/")
list(SORT manifest)

run_ok("dpkg-deb --contents" "${DPKG_DEB}" --contents "${deb}")
string(REGEX REPLACE "\n$" "" listing "${out}")
string(REPLACE "\n" ";" listing "${listing}")
set(packaged "")
foreach(line ${listing})
  if(NOT line MATCHES "^([-dl])([-rwx]+) ([^ ]+) +[0-9]+ [-0-9]+ [:0-9]+ \\.(/[^ ]*)$")
    message(FATAL_ERROR "unexpected line in the package listing: ${line}")
  endif()
  set(kind "${CMAKE_MATCH_1}")
  set(mode "${CMAKE_MATCH_2}")
  set(owner "${CMAKE_MATCH_3}")
  string(REGEX REPLACE "/$" "" path "${CMAKE_MATCH_4}")
  if(NOT owner STREQUAL "root/root")
    message(FATAL_ERROR "${path} belongs to ${owner}")
  endif()
  if(kind STREQUAL "-")
    list(APPEND packaged "${path}")
    set(want "rw-r--r--")
    if(path STREQUAL "/usr/${BINDIR}/kartavio")
      set(want "rwxr-xr-x")
    endif()
  elseif(kind STREQUAL "d")
    set(want "rwxr-xr-x")
  else()
    message(FATAL_ERROR "link in the package: ${line}")
  endif()
  if(NOT mode STREQUAL want)
    message(FATAL_ERROR "${path} has mode ${mode}, not ${want}")
  endif()
endforeach()
list(SORT packaged)
if(NOT packaged STREQUAL manifest)
  string(REPLACE ";" "\n  " a "${packaged}")
  string(REPLACE ";" "\n  " b "${manifest}")
  message(FATAL_ERROR "package files differ from the install manifest:\npackage:\n  ${a}\nmanifest:\n  ${b}")
endif()
string(REPLACE ";" "\n  " a "${packaged}")
message(STATUS "Package files (as installed by cmake --install):\n  ${a}")

run_ok("dpkg-deb --extract" "${DPKG_DEB}" --extract "${deb}" "${root}")
set(usr "${root}/usr")
foreach(want "${BINDIR}/kartavio" "${DATADIR}/kartavio/staaten.txt"
             "${DATADIR}/applications/${APP_ID}.desktop" "${DATADIR}/metainfo/${APP_ID}.metainfo.xml"
             "${DATADIR}/icons/hicolor/scalable/apps/${APP_ID}.svg" "${MANDIR}/man1/kartavio.1.gz"
             "${MANDIR}/de/man1/kartavio.1.gz" "${DATADIR}/doc/kartavio/copyright"
             "${DATADIR}/doc/kartavio/changelog.gz")
  if(NOT EXISTS "${usr}/${want}")
    message(FATAL_ERROR "not in the package: /usr/${want}")
  endif()
endforeach()
run_ok("file" "${FILE}" --brief "${usr}/${BINDIR}/kartavio")
if(NOT out MATCHES "ELF" OR NOT out MATCHES ", stripped")
  message(FATAL_ERROR "the packaged program is no stripped ELF file: ${out}")
endif()

# 3b. The built and the packaged program carry the protections
#     hardening-check knows: PIE, stack protector, fortified calls, RELRO,
#     immediate binding. Its control-flow check looks for the IBT/SHSTK note,
#     which no program on Debian 12 can carry (libc6-dev's Scrt1.o, crti.o and
#     crtn.o have none); the program's own code is checked for the
#     -fcf-protection landing pad instead.
if(HARDENED)
  find_program(HARDENING_CHECK hardening-check)
  find_program(OBJDUMP objdump)
  if(NOT HARDENING_CHECK OR NOT OBJDUMP)
    message(FATAL_ERROR "package_check: hardening-check or objdump not found (tools/install-deps.sh installs devscripts)")
  endif()
  foreach(program "${BUILD_DIR}/kartavio" "${usr}/${BINDIR}/kartavio")
    run_ok("hardening-check ${program}" "${HARDENING_CHECK}" --nocfprotection "${program}")
    message(STATUS "${out}")
  endforeach()
  run_ok("objdump main" "${OBJDUMP}" --disassemble=main "${BUILD_DIR}/kartavio")
  if(NOT out MATCHES "<main>:\n[^\n]*endbr64")
    message(FATAL_ERROR "main of the built program does not start with endbr64 (-fcf-protection missing)")
  endif()
else()
  message(STATUS "not a hardened build (KARTAVIO_HARDEN off or sanitizers on): hardening-check left out")
endif()

# 4. Manual pages and changelog: gzip without name or time stamp (-n). The
#    German page where man looks under a German locale, a short English one
#    for every other; each headed with the program and this version, in its
#    language, describing every switch.
foreach(gz "${MANDIR}/man1/kartavio.1.gz" "${MANDIR}/de/man1/kartavio.1.gz" "${DATADIR}/doc/kartavio/changelog.gz")
  file(READ "${usr}/${gz}" head LIMIT 10 HEX)
  string(SUBSTRING "${head}" 6 2 flags)
  string(SUBSTRING "${head}" 8 8 mtime)
  if(NOT head MATCHES "^1f8b08" OR NOT mtime STREQUAL "00000000" OR NOT flags STREQUAL "00")
    message(FATAL_ERROR "${gz} is not compressed with gzip -n (header ${head})")
  endif()
endforeach()
set(sections_de BEZEICHNUNG "ÜBERSICHT" BESCHREIBUNG OPTIONEN DATEIEN)
set(sections_en NAME SYNOPSIS DESCRIPTION OPTIONS FILES)
foreach(language de en)
  if(language STREQUAL "de")
    set(page "${MANDIR}/de/man1/kartavio.1.gz")
  else()
    set(page "${MANDIR}/man1/kartavio.1.gz")
  endif()
  run_ok("gzip -dc" "${GZIP}" -dc "${usr}/${page}")
  if(NOT out MATCHES "(^|\n)\\.TH KARTAVIO 1 \"[-0-9]+\" \"Kartavio ${VERSION}\"")
    message(FATAL_ERROR "${page} lacks its .TH line for version ${VERSION}")
  endif()
  foreach(section ${sections_${language}})
    if(NOT out MATCHES "\n\\.SH ${section}\n")
      message(FATAL_ERROR "${page} lacks section ${section}")
    endif()
  endforeach()
  foreach(option "--help" "--version" "--self-check")
    string(REPLACE "-" "\\\\-" escaped "${option}")
    if(NOT out MATCHES "${escaped}")
      message(FATAL_ERROR "${page} does not describe ${option}")
    endif()
  endforeach()
endforeach()
# man picks the German page under a German locale and the English one
# otherwise (-L: the locale need not be installed; MANPATH, unlike -M, keeps
# the search of the locale's folders).
find_program(MAN man)
if(MAN)
  foreach(locale de_DE.UTF-8 en_US.UTF-8)
    run_ok("man -w -L ${locale}" "${CMAKE_COMMAND}" -E env "MANPATH=${usr}/${MANDIR}"
           "${MAN}" -L ${locale} -w kartavio)
    string(STRIP "${out}" found)
    set(want "${usr}/${MANDIR}/man1/kartavio.1.gz")
    if(locale STREQUAL "de_DE.UTF-8")
      set(want "${usr}/${MANDIR}/de/man1/kartavio.1.gz")
    endif()
    if(NOT found STREQUAL want)
      message(FATAL_ERROR "man under ${locale} finds ${found}, not ${want}")
    endif()
  endforeach()
endif()

# 5. Software-centre entry and launcher: no errors, no warnings (infos and
#    pedantic notes are printed). validate-tree also checks that the entry's
#    launcher and icon are in the tree.
set(metainfo "${usr}/${DATADIR}/metainfo/${APP_ID}.metainfo.xml")
foreach(how validate validate-tree)
  if(how STREQUAL "validate")
    set(target "${metainfo}")
  else()
    set(target "${root}")
  endif()
  execute_process(COMMAND "${APPSTREAMCLI}" ${how} --no-net --pedantic "${target}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  message(STATUS "appstreamcli ${how} (${rc}):\n${out}${err}")
  if(NOT rc EQUAL 0 OR "${out}${err}" MATCHES "(^|\n)[EW]: ")
    message(FATAL_ERROR "appstreamcli ${how} reports errors or warnings")
  endif()
endforeach()
file(READ "${metainfo}" entry)
foreach(want "<id>${APP_ID}</id>" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
             "<binary>kartavio</binary>" "<release version=\"${VERSION}\" date=\"")
  string(FIND "${entry}" "${want}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "software-centre entry lacks ${want}")
  endif()
endforeach()
file(GLOB screenshots RELATIVE "${SOURCE_DIR}/docs/screenshots" "${SOURCE_DIR}/docs/screenshots/*.png")
foreach(png ${screenshots})
  if(NOT entry MATCHES "<image type=\"source\" width=\"[0-9]+\" height=\"[0-9]+\">[^<]+/${png}</image>")
    message(FATAL_ERROR "software-centre entry lacks the screenshot ${png}")
  endif()
endforeach()

execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${usr}/${DATADIR}/applications/${APP_ID}.desktop"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate (${rc}):\n${out}${err}")
endif()

# 6. lintian: no errors and no warnings; infos are printed.
execute_process(COMMAND "${LINTIAN}" --info "${deb}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "lintian (${rc}):\n${out}")
if("${out}" MATCHES "(^|\n)[EW]: ")
  message(FATAL_ERROR "lintian reports errors or warnings")
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lintian failed (${rc}):\n${err}")
endif()

# 7. The unpacked program finds the states list of the unpacked tree, started
#    from another folder, offscreen, with fresh user folders and every host
#    pointing at a closed port.
file(STRINGS "${SOURCE_DIR}/resources/staaten.txt" states REGEX "\t")
list(LENGTH states stateCount)
execute_process(COMMAND "${CMAKE_COMMAND}" -E env
                  QT_QPA_PLATFORM=offscreen
                  "HOME=${WORK_DIR}/home"
                  "XDG_CONFIG_HOME=${WORK_DIR}/home/.config"
                  "XDG_CACHE_HOME=${WORK_DIR}/home/.cache"
                  "XDG_RUNTIME_DIR=${WORK_DIR}/runtime"
                  KARTAVIO_SITE_HOST=127.0.0.1:9
                  KARTAVIO_PORTAL_HOST=127.0.0.1:9
                  KARTAVIO_SERVICE_HOST=127.0.0.1:9
                  "${usr}/${BINDIR}/kartavio" --self-check
                WORKING_DIRECTORY "${WORK_DIR}/elsewhere" TIMEOUT 60
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "unpacked kartavio --self-check (${rc}):\n${out}${err}")
if(NOT rc EQUAL 0 OR NOT out MATCHES "staaten: ${stateCount}\n")
  message(FATAL_ERROR "unpacked program failed its self-check (expected \"staaten: ${stateCount}\")")
endif()
if(NOT out MATCHES "datei: ${usr}/${DATADIR}/kartavio/staaten.txt")
  message(FATAL_ERROR "the states list was not read from the unpacked tree")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
