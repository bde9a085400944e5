# libjpeg (API 62) and zlib, natively from Debian's -dev packages, for Windows from the
# MinGW zlib package and the libjpeg-turbo that scripts/setup.sh cross-builds.
if(WIN32)
  if(NOT LUMO_JPEG_PREFIX OR NOT EXISTS "${LUMO_JPEG_PREFIX}/lib/libjpeg.a")
    message(FATAL_ERROR "libjpeg for MinGW not found in '${LUMO_JPEG_PREFIX}': run scripts/setup.sh")
  endif()
  add_library(lumo::jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(lumo::jpeg PROPERTIES
    IMPORTED_LOCATION "${LUMO_JPEG_PREFIX}/lib/libjpeg.a"
    INTERFACE_INCLUDE_DIRECTORIES "${LUMO_JPEG_PREFIX}/include")
  find_library(LUMO_ZLIB_LIB NAMES libz.a z REQUIRED)
  find_path(LUMO_ZLIB_INCLUDE zlib.h REQUIRED)
  add_library(lumo::zlib STATIC IMPORTED GLOBAL)
  set_target_properties(lumo::zlib PROPERTIES
    IMPORTED_LOCATION "${LUMO_ZLIB_LIB}" INTERFACE_INCLUDE_DIRECTORIES "${LUMO_ZLIB_INCLUDE}")
else()
  find_package(JPEG REQUIRED)
  find_package(ZLIB REQUIRED)
  add_library(lumo::jpeg ALIAS JPEG::JPEG)
  add_library(lumo::zlib ALIAS ZLIB::ZLIB)
endif()
