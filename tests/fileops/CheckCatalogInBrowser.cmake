# Opens the catalog pages the catalog tests left in FOLDER (listed in FOLDER/pages.txt) in a headless
# browser through the checking page CHECKER, and fails unless every page loads without running a
# script of a note, every picture with an address loads, every relative link names a readable file,
# every link on a drive of the program's own ("file://C:/...", mapped with winepath) names an
# existing file, and every text FOLDER/texts.json lists is shown as listed.
#   cmake -DFOLDER=<folder> -DCHECKER=<CatalogCheck.html> -P CheckCatalogInBrowser.cmake
cmake_minimum_required(VERSION 3.20)
if(NOT FOLDER OR NOT CHECKER)
    message(FATAL_ERROR "FOLDER and CHECKER must be set")
endif()
if(NOT EXISTS ${FOLDER}/pages.txt)
    message(FATAL_ERROR "no catalog pages were left in ${FOLDER}")
endif()
file(STRINGS ${FOLDER}/pages.txt pages)
string(JOIN "," page_list ${pages})
set(url "file://${CHECKER}?base=file://${FOLDER}/&pages=${page_list}")

# A fresh profile every time, and nothing that reaches for the network.
set(profile ${FOLDER}/browser-profile)
file(REMOVE_RECURSE ${profile})
execute_process(
    COMMAND chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking
            --disable-component-update --disable-sync --user-data-dir=${profile} --allow-file-access-from-files
            --virtual-time-budget=30000 --dump-dom ${url}
    OUTPUT_VARIABLE dom ERROR_VARIABLE browser_errors RESULT_VARIABLE rc TIMEOUT 180)
file(REMOVE_RECURSE ${profile})
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the browser failed (${rc}): ${browser_errors}")
endif()
string(REGEX MATCH "<pre id=\"result\">([^<]*)</pre>" matched "${dom}")
set(report "${CMAKE_MATCH_1}")
string(REPLACE "&lt;" "<" report "${report}")
string(REPLACE "&gt;" ">" report "${report}")
string(REPLACE "&amp;" "&" report "${report}")
string(REPLACE "\n" ";" lines "${report}")
if(NOT "DONE" IN_LIST lines)
    message(FATAL_ERROR "the checking page did not finish:\n${report}")
endif()

set(loaded 0)
set(texts 0)
set(wine_paths)
foreach(line ${lines})
    if(line MATCHES "^(PAGE|IMG|LINK|TEXT) bad ")
        message(SEND_ERROR "${line}")
    elseif(line MATCHES "^IMG ok ")
        math(EXPR loaded "${loaded} + 1")
    elseif(line MATCHES "^TEXT ok ")
        math(EXPR texts "${texts} + 1")
    elseif(line MATCHES "^WINE file://(.*)$")
        string(REPLACE "/" "\\" windows_path "${CMAKE_MATCH_1}")
        list(APPEND wine_paths "${windows_path}")
    endif()
endforeach()
if(loaded EQUAL 0)
    message(SEND_ERROR "no picture was loaded at all")
endif()
if(EXISTS ${FOLDER}/texts.json AND texts EQUAL 0)
    message(SEND_ERROR "no text listed in texts.json was found on a page")
endif()
foreach(windows_path ${wine_paths})
    execute_process(COMMAND winepath -u "${windows_path}" OUTPUT_VARIABLE unix_path ERROR_QUIET
        OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT unix_path OR NOT EXISTS "${unix_path}")
        message(SEND_ERROR "WINE ${windows_path} names no file (${unix_path})")
    endif()
endforeach()
list(LENGTH wine_paths mapped)
message(STATUS "${loaded} pictures loaded, ${texts} texts shown as typed, ${mapped} links on the program's drives found")
