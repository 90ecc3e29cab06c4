# Reads every #include "..." of the production folders and fails when one reaches a folder above
# the including one. Run as: cmake -DROOT=<source dir> -P LayerCheck.cmake
# With -DMATRIX=ON it prints the count of include lines from each folder to each other folder
# instead of checking. The layer order is in Layers.cmake.

if(NOT ROOT)
    message(FATAL_ERROR "LayerCheck.cmake needs -DROOT=<source dir>")
endif()
# A relative root is taken from the working folder; the globs below only match an absolute one.
get_filename_component(ROOT "${ROOT}" ABSOLUTE)

include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

# Crossings the house accepts, as "including file|included file|reason" (paths from the root; a
# path ending in / stands for every file of that folder tree, "/" alone for every file). At most five.
set(accepted
    "/|res/resource.h|the resource ids: plain numbers without code that every layer loading a dialog, string or icon needs"
    "foundation/VyxFieldParser.cpp|script/|the field reader of every settings and list file matches its fields with the script's regular expressions and values"
)

list(LENGTH accepted accepted_count)
if(accepted_count GREATER 5)
    message(FATAL_ERROR "More than five accepted crossings: mend the includes instead")
endif()

vyx_source_files(${ROOT} files ${folders})
list(LENGTH files scanned)

set(failures 0)
foreach(from ${files})
    vyx_folder_of("${from}" from_folder)
    get_filename_component(from_dir "${from}" DIRECTORY)
    file(STRINGS ${ROOT}/${from} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${lines})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" target "${line}")
        # A name found beside the including file wins, as the compiler looks there first.
        if(EXISTS ${ROOT}/${from_dir}/${target})
            get_filename_component(resolved "${ROOT}/${from_dir}/${target}" ABSOLUTE)
        elseif(EXISTS ${ROOT}/${target})
            get_filename_component(resolved "${ROOT}/${target}" ABSOLUTE)
        else()
            continue()
        endif()
        file(RELATIVE_PATH to "${ROOT}" "${resolved}")
        vyx_folder_of("${to}" to_folder)
        if(NOT DEFINED layer_${to_folder})
            continue()
        endif()
        if(MATRIX)
            math(EXPR count_${from_folder}_${to_folder} "${count_${from_folder}_${to_folder}} + 0 + 1")
            continue()
        endif()
        vyx_goes_upward(${from_folder} ${to_folder} upward)
        if(NOT upward)
            continue()
        endif()
        vyx_crossing_accepted("${from}" "${to}" "${accepted}" is_accepted)
        if(NOT is_accepted)
            message("${from}: includes ${to}, which is above ${from_folder} in the layer order")
            math(EXPR failures "${failures} + 1")
        endif()
    endforeach()
endforeach()

vyx_end_check(${failures} "include(s) go upward against the layer order" "Layer order kept by every include of ${scanned} files")
