# Reads every #include "..." of the production folders and fails when one reaches a folder above
# the including one. Run as: cmake -DROOT=<source dir> -P LayerCheck.cmake
# With -DMATRIX=ON it prints the count of include lines from each folder to each other folder
# instead of checking.
#
# The layers, bottom first; a folder may include its own layer and the ones below. Sub-folders
# belong to their top folder (image/codecs, image/plugins, browser/options).
#   0 framework   the class library
#   1 foundation
#   2 script
#   3 image
#   4 controls
#   5 catalogue
#   6 fileops, viewer  side by side: a picture window copies, moves and renames its own file, so
#                      viewer may include fileops; fileops never includes viewer (no circle)
#   7 browser     the main window: the top of the code, which ties the rest together
#   8 res         the resource scripts (they include the id header and the dialog styles only)

if(NOT ROOT)
    message(FATAL_ERROR "LayerCheck.cmake needs -DROOT=<source dir>")
endif()
# A relative root is taken from the working folder; the globs below only match an absolute one.
get_filename_component(ROOT "${ROOT}" ABSOLUTE)

set(layer_framework 0)
set(layer_foundation 1)
set(layer_script 2)
set(layer_image 3)
set(layer_controls 4)
set(layer_catalogue 5)
set(layer_fileops 6)
set(layer_viewer 6)
set(layer_browser 7)
set(layer_res 8)
set(folders framework foundation script image controls catalogue fileops viewer browser res)

# Same-layer folders: "from>to" pairs that are allowed (any other pair on one layer is refused).
set(same_layer_allowed "viewer>fileops")

# Crossings the house accepts, as "including file|included file|reason" (paths from the root; a
# path ending in / stands for every file of that folder tree, "/" alone for every file). At most five.
set(accepted
    "/|res/resource.h|the resource ids: plain numbers without code that every layer loading a dialog, string or icon needs"
    "foundation/VyxFieldParser.cpp|script/|the field reader of every settings and list file matches its fields with the script's regular expressions and values"
    "script/|image/|drawing scripts paint on and load device-independent bitmaps"
    "image/|fileops/ProgressDlg.h|colour reduction and saving show the one progress window of the long file operations"
)

function(vyx_folder_of path out)
    string(REGEX MATCH "^[^/]+" top "${path}")
    set(${out} "${top}" PARENT_SCOPE)
endfunction()

# True when path is pattern itself, or lies in the folder tree pattern names (ending in /).
function(vyx_path_matches path pattern out)
    set(result FALSE)
    if(pattern STREQUAL "/" OR pattern STREQUAL path)
        set(result TRUE)
    elseif(pattern MATCHES "/$")
        string(FIND "${path}" "${pattern}" at)
        if(at EQUAL 0)
            set(result TRUE)
        endif()
    endif()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

list(LENGTH accepted accepted_count)
if(accepted_count GREATER 5)
    message(FATAL_ERROR "More than five accepted crossings: mend the includes instead")
endif()

set(files)
foreach(folder ${folders})
    file(GLOB_RECURSE found RELATIVE ${ROOT} ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp
        ${ROOT}/${folder}/*.c ${ROOT}/${folder}/*.rc)
    list(APPEND files ${found})
endforeach()
list(LENGTH files scanned)
if(scanned EQUAL 0)
    message(FATAL_ERROR "No source file found under ${ROOT}: nothing was checked")
endif()

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
        if(from_folder STREQUAL to_folder)
            continue()
        endif()
        set(upward FALSE)
        if(layer_${to_folder} GREATER layer_${from_folder})
            set(upward TRUE)
        elseif(layer_${to_folder} EQUAL layer_${from_folder})
            list(FIND same_layer_allowed "${from_folder}>${to_folder}" allowed)
            if(allowed LESS 0)
                set(upward TRUE)
            endif()
        endif()
        if(NOT upward)
            continue()
        endif()
        set(is_accepted FALSE)
        foreach(entry ${accepted})
            string(REPLACE "|" ";" parts "${entry}")
            list(GET parts 0 accepted_from)
            list(GET parts 1 accepted_to)
            vyx_path_matches("${to}" "${accepted_to}" to_matches)
            vyx_path_matches("${from}" "${accepted_from}" from_matches)
            if(to_matches AND from_matches)
                set(is_accepted TRUE)
            endif()
        endforeach()
        if(NOT is_accepted)
            message("${from}: includes ${to}, which is above ${from_folder} in the layer order")
            math(EXPR failures "${failures} + 1")
        endif()
    endforeach()
endforeach()

if(MATRIX)
    set(header "from\\to   ")
    foreach(to ${folders})
        string(SUBSTRING "${to}    " 0 5 short)
        string(APPEND header " ${short}")
    endforeach()
    message("${header}")
    foreach(from ${folders})
        string(SUBSTRING "${from}          " 0 10 row)
        foreach(to ${folders})
            set(n "${count_${from}_${to}}")
            if(n STREQUAL "")
                set(n ".")
            endif()
            string(LENGTH "${n}" width)
            math(EXPR pad "5 - ${width}")
            string(REPEAT " " ${pad} spaces)
            string(APPEND row " ${spaces}${n}")
        endforeach()
        message("${row}")
    endforeach()
    return()
endif()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} include(s) go upward against the layer order")
endif()
message("Layer order kept by every include of ${scanned} files")
