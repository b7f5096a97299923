# Read by cpack before it writes the package (CPACK_PROJECT_CONFIG_FILE):
# the DEB generator takes SOURCE_DATE_EPOCH from its environment for every
# time stamp in the package. One given to cpack itself wins.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} AND CPACK_KARTAVIO_SOURCE_DATE_EPOCH)
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_KARTAVIO_SOURCE_DATE_EPOCH}")
endif()
