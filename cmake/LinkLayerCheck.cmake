# Reads the symbols of every object of the production folders and fails when an object needs, at link
# time, a symbol that only objects of a folder above it define: an include can go downward while the
# code it declares is still defined upstairs. Run as:
#   cmake -DNM=<nm> -DOBJECTS=<obj|obj|...> -DOBJECT_ROOTS=<dir|dir...> -P LinkLayerCheck.cmake
# OBJECT_ROOTS are the folders the objects were built into (CMakeFiles/<target>.dir); an object's
# folder is the first part of its path below its root (browser/CMainFrame.cpp.obj is browser's).
# With -DMATRIX=ON it prints, from each folder to each other folder, how many symbols the first needs
# of the second instead of checking. The layer order is in Layers.cmake.

foreach(arg NM OBJECTS OBJECT_ROOTS)
    if(NOT ${arg})
        message(FATAL_ERROR "LinkLayerCheck.cmake needs -D${arg}=...")
    endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

# Crossings the house accepts, as "needing source|defining source|reason" (paths of the sources the
# objects were built from; a path ending in / stands for every file of that folder tree). The same
# crossings as the include check's, where they carry code.
set(accepted
    "foundation/VyxFieldParser.cpp|script/|the field reader of every settings and list file matches its fields with the script's regular expressions and values"
)

string(REPLACE "|" ";" OBJECTS "${OBJECTS}")
string(REPLACE "|" ";" OBJECT_ROOTS "${OBJECT_ROOTS}")

# The source path of each object (browser/CMainFrame.cpp), the key the rest of the check uses.
set(sources)
foreach(object ${OBJECTS})
    set(source "")
    foreach(root ${OBJECT_ROOTS})
        file(RELATIVE_PATH relative "${root}" "${object}")
        if(NOT relative MATCHES "^\\.\\./")
            string(REGEX REPLACE "\\.obj$" "" source "${relative}")
        endif()
    endforeach()
    vyx_folder_of("${source}" folder)
    if(source STREQUAL "" OR NOT DEFINED layer_${folder})
        message(FATAL_ERROR "${object} lies in none of the production folders under ${OBJECT_ROOTS}")
    endif()
    string(MAKE_C_IDENTIFIER "${object}" object_key)
    set(source_of_${object_key} "${source}")
    list(APPEND sources "${source}")
endforeach()
list(LENGTH sources object_count)
if(object_count EQUAL 0)
    message(FATAL_ERROR "No object given: nothing was checked")
endif()

# External symbols only (-g); -A names the object on every line: "<object>:<value> <type> <name>".
execute_process(COMMAND ${NM} -A -g ${OBJECTS} OUTPUT_VARIABLE listing RESULT_VARIABLE nm_result
    ERROR_VARIABLE nm_errors)
if(NOT nm_result EQUAL 0)
    message(FATAL_ERROR "${NM} failed: ${nm_errors}")
endif()
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")

# Pass one: which sources define each symbol. Pass two needs them all, so the needs wait in a list.
set(needs)
set(defined_count 0)
foreach(line ${lines})
    if(NOT line MATCHES "^(.+\\.obj):[0-9a-fA-F ]* ([A-Za-z]) (.+)$")
        continue()
    endif()
    string(MAKE_C_IDENTIFIER "${CMAKE_MATCH_1}" object_key)
    set(source "${source_of_${object_key}}")
    set(type "${CMAKE_MATCH_2}")
    set(symbol "${CMAKE_MATCH_3}")
    if(type STREQUAL "U")
        list(APPEND needs "${source}|${symbol}")
    else()
        # Names such as "_f@16" cannot stand in a variable reference as they are.
        string(MAKE_C_IDENTIFIER "${symbol}" symbol_key)
        list(APPEND definers_${symbol_key} "${source}")
        math(EXPR defined_count "${defined_count} + 1")
    endif()
endforeach()
if(defined_count EQUAL 0)
    message(FATAL_ERROR "The objects define no symbol: nothing was checked")
endif()

set(failures 0)
foreach(need ${needs})
    string(FIND "${need}" "|" bar)
    string(SUBSTRING "${need}" 0 ${bar} from)
    math(EXPR after "${bar} + 1")
    string(SUBSTRING "${need}" ${after} -1 symbol)
    string(MAKE_C_IDENTIFIER "${symbol}" symbol_key)
    if(NOT DEFINED definers_${symbol_key})
        continue() # the system's, the runtime's or a dependency's
    endif()
    vyx_folder_of("${from}" from_folder)
    # A symbol also defined at or below the needing layer (an inline function, a template) is met there.
    set(upward TRUE)
    set(to "")
    foreach(definer ${definers_${symbol_key}})
        vyx_folder_of("${definer}" to_folder)
        vyx_goes_upward(${from_folder} ${to_folder} definer_upward)
        if(NOT definer_upward)
            set(upward FALSE)
            set(to "${definer}")
            break()
        endif()
        if(to STREQUAL "")
            set(to "${definer}")
        endif()
    endforeach()
    vyx_folder_of("${to}" to_folder)
    if(MATRIX)
        if(NOT from_folder STREQUAL to_folder)
            math(EXPR count_${from_folder}_${to_folder} "${count_${from_folder}_${to_folder}} + 0 + 1")
        endif()
        continue()
    endif()
    if(NOT upward)
        continue()
    endif()
    vyx_crossing_accepted("${from}" "${to}" "${accepted}" is_accepted)
    if(NOT is_accepted)
        message("${from}: needs ${symbol}, defined only in ${to}, which is above ${from_folder}")
        math(EXPR failures "${failures} + 1")
    endif()
endforeach()

vyx_end_check(${failures} "symbol(s) needed from above the needing folder's layer" "Layer order kept by every symbol the ${object_count} objects need")
