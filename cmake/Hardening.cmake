# The hardening Debian builds its own packages with (dpkg-buildflags with
# hardening=+all): the program parses what any host on the network sends.
# Checked on the built and on the packaged program with hardening-check.

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()

add_compile_options(-fstack-protector-strong -fstack-clash-protection -fcf-protection
                    -Wformat -Werror=format-security)
# Fortified library calls need the optimiser; a Debug build goes without.
add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
add_link_options(LINKER:-z,relro LINKER:-z,now)
set(KARTAVIO_HARDENED ON)
