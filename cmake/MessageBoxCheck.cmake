# Every message box of the program goes through ShowMessageBox (foundation/MessageBoxes.h), which
# breaks the text's lines so that the box fits the work area. Reads every source of the folders
# above the class library and fails on any other call of a message box.
# Run as: cmake -DROOT=<source dir> -P MessageBoxCheck.cmake

if(NOT ROOT)
    message(FATAL_ERROR "MessageBoxCheck.cmake needs -DROOT=<source dir>")
endif()
get_filename_component(ROOT "${ROOT}" ABSOLUTE)

include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

# The files that may call a message box directly, as "file|reason".
set(accepted
    "foundation/MessageBoxes.cpp|the one function itself: the text fitted, then shown by the class library or the platform"
    "controls/VyxWinAppEx.h|the application's DoMessageBox, declared"
    "controls/VyxWinAppEx.cpp|the application's DoMessageBox: the class library's own boxes (a reported exception, a data-exchange prompt) fitted as the program's are"
)

# A call of any of the platform's or the class library's boxes (ShowMessageBox has a letter before
# the name and never matches). A reported exception shows one too.
set(box_call "(^|[^A-Za-z0-9_])(Afx|Do)?MessageBox(A|W|Ex[AW]?|Indirect[AW]?|Timeout[AW]?)?[ \t]*\\(")
set(other_call "(^|[^A-Za-z0-9_])(ReportError|TaskDialog|TaskDialogIndirect|SHMessageBoxCheck[AW]?)[ \t]*\\(")

# The class library's boxes reach the program's function through the application's DoMessageBox;
# the resource scripts show none.
set(program_folders ${folders})
list(REMOVE_ITEM program_folders framework res)
vyx_source_files(${ROOT} files ${program_folders})
list(LENGTH files scanned)

set(failures 0)
foreach(file ${files})
    set(is_accepted FALSE)
    foreach(entry ${accepted})
        string(REPLACE "|" ";" parts "${entry}")
        list(GET parts 0 accepted_file)
        if(file STREQUAL accepted_file)
            set(is_accepted TRUE)
        endif()
    endforeach()
    if(is_accepted)
        continue()
    endif()
    file(STRINGS ${ROOT}/${file} lines REGEX "MessageBox|ReportError|TaskDialog")
    foreach(line ${lines})
        string(REGEX REPLACE "//.*$" "" code "${line}")
        string(REGEX REPLACE "/\\*.*\\*/" "" code "${code}")
        if(code MATCHES "${box_call}" OR code MATCHES "${other_call}")
            string(STRIP "${code}" shown)
            message("${file}: shows a message box other than through ShowMessageBox: ${shown}")
            math(EXPR failures "${failures} + 1")
        endif()
    endforeach()
endforeach()

if(failures GREATER 0)
    message(FATAL_ERROR "${failures} message box call(s) bypass ShowMessageBox")
endif()
message("Every message box of ${scanned} files goes through ShowMessageBox")
