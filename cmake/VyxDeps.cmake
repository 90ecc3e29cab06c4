# Imported targets for the Windows dependencies built by scripts/setup.sh (static libraries).
# Their prefixes arrive through VYX_DEPS_PREFIXES (see cmake/mingw-common.cmake).

function(vyx_import name header lib)
    cmake_parse_arguments(ARG "" "HEADER_SUFFIX" "LINK;DEFINES" ${ARGN})
    find_path(${name}_INCLUDE_DIR ${header} PATH_SUFFIXES ${ARG_HEADER_SUFFIX})
    # An import library found by an earlier configure would make the binaries need a DLL.
    if(${name}_LIBRARY MATCHES "\\.dll\\.a$")
        unset(${name}_LIBRARY CACHE)
    endif()
    find_library(${name}_LIBRARY ${lib})
    if(NOT ${name}_INCLUDE_DIR OR NOT ${name}_LIBRARY)
        message(FATAL_ERROR "${name} not found: run scripts/setup.sh and source build/deps.env")
    endif()
    add_library(vyx::${name} STATIC IMPORTED GLOBAL)
    set_target_properties(vyx::${name} PROPERTIES
        IMPORTED_LOCATION "${${name}_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${${name}_INCLUDE_DIR}"
        INTERFACE_LINK_LIBRARIES "${ARG_LINK}"
        INTERFACE_COMPILE_DEFINITIONS "${ARG_DEFINES}")
endfunction()

# The MinGW zlib package has an import library beside the static one: name the static one.
vyx_import(zlib zlib.h libz.a)
vyx_import(jpeg jpeglib.h jpeg)
vyx_import(tiff tiffio.h tiff LINK vyx::jpeg vyx::zlib)
vyx_import(onig oniguruma.h onig DEFINES ONIG_STATIC)
vyx_import(png png.h png16 LINK vyx::zlib)
vyx_import(exif libexif/exif-data.h exif)
vyx_import(openjp2 openjpeg.h openjp2 HEADER_SUFFIX openjpeg-2.5 DEFINES OPJ_STATIC)
vyx_import(gtest gtest/gtest.h gtest)
vyx_import(gmock gmock/gmock.h gmock LINK vyx::gtest)
vyx_import(benchmark benchmark/benchmark.h benchmark DEFINES BENCHMARK_STATIC_DEFINE LINK shlwapi)
