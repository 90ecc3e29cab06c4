# The layer order both layer checks keep (LayerCheck.cmake for includes, LinkLayerCheck.cmake for
# the symbols objects need at link time).
#
# The layers, bottom first; a folder may include its own layer and the ones below. Sub-folders
# belong to their top folder (image/codecs, image/plugins, browser/options).
#   0 framework   the class library
#   1 foundation
#   2 controls    the control kit and the progress window of long jobs, which colour reduction
#                 and saving show
#   3 image       the pictures, their codecs and the plug-in host
#   4 script      drawing scripts, which paint on and load pictures
#   5 catalogue
#   6 fileops, viewer  side by side: a picture window copies, moves and renames its own file, so
#                      viewer may include fileops; fileops never includes viewer (no circle)
#   7 browser     the main window: the top of the code, which ties the rest together
#   8 res         the resource scripts (they include the id header and the dialog styles only)

set(layer_framework 0)
set(layer_foundation 1)
set(layer_controls 2)
set(layer_image 3)
set(layer_script 4)
set(layer_catalogue 5)
set(layer_fileops 6)
set(layer_viewer 6)
set(layer_browser 7)
set(layer_res 8)
set(folders framework foundation controls image script catalogue fileops viewer browser res)

# Same-layer folders: "from>to" pairs that are allowed (any other pair on one layer is refused).
set(same_layer_allowed "viewer>fileops")

# vyx_source_files(<root> <out> <folder>...): the sources of the folders, as paths from the root;
# fails when there are none, as a check that read nothing proves nothing.
function(vyx_source_files root out)
    set(files)
    foreach(folder ${ARGN})
        file(GLOB_RECURSE found RELATIVE ${root} ${root}/${folder}/*.h ${root}/${folder}/*.cpp
            ${root}/${folder}/*.c ${root}/${folder}/*.rc)
        list(APPEND files ${found})
    endforeach()
    if(NOT files)
        message(FATAL_ERROR "No source file found under ${root}: nothing was checked")
    endif()
    set(${out} ${files} PARENT_SCOPE)
endfunction()

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

# True when a folder on layer from may not reach the folder to: a higher layer, or a folder of the
# same layer other than an allowed pair.
function(vyx_goes_upward from to out)
    set(result FALSE)
    if(NOT from STREQUAL to)
        if(layer_${to} GREATER layer_${from})
            set(result TRUE)
        elseif(layer_${to} EQUAL layer_${from})
            list(FIND same_layer_allowed "${from}>${to}" allowed)
            if(allowed LESS 0)
                set(result TRUE)
            endif()
        endif()
    endif()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# True when the pair (from, to) is one of the accepted "from|to|reason" entries.
function(vyx_crossing_accepted from to accepted out)
    set(result FALSE)
    foreach(entry ${accepted})
        string(REPLACE "|" ";" parts "${entry}")
        list(GET parts 0 accepted_from)
        list(GET parts 1 accepted_to)
        vyx_path_matches("${to}" "${accepted_to}" to_matches)
        vyx_path_matches("${from}" "${accepted_from}" from_matches)
        if(to_matches AND from_matches)
            set(result TRUE)
        endif()
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# Prints a table of counts count_<from>_<to> (from each folder to each folder).
macro(vyx_print_matrix)
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
endmacro()

# The end of a check: with MATRIX on the counts are printed; otherwise the check fails when it
# counted any failure, and says what it kept when it counted none.
function(vyx_end_check failures failure_text kept_text)
    if(MATRIX)
        vyx_print_matrix()
    elseif(failures GREATER 0)
        message(FATAL_ERROR "${failures} ${failure_text}")
    else()
        message("${kept_text}")
    endif()
endfunction()
