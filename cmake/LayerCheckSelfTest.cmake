# Runs LayerCheck.cmake on small trees made here and fails unless it refuses exactly the upward
# includes. Run as: cmake -DWORK=<scratch dir> -P LayerCheckSelfTest.cmake

if(NOT WORK)
    message(FATAL_ERROR "LayerCheckSelfTest.cmake needs -DWORK=<scratch dir>")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/CheckSelfTest.cmake)

# vyx_expect_check(<name> PASS|FAIL <file> <included> ...): a tree where each file includes the
# header after it (every header made empty), checked, and the outcome compared.
# With RELATIVE_ROOT set, the check is given the tree's path relative to the working folder.
function(vyx_expect_check name expected)
    set(root ${WORK}/${name})
    set(root_arg ${root})
    if(RELATIVE_ROOT)
        set(root_arg ${name})
    endif()
    file(REMOVE_RECURSE ${root})
    set(pairs ${ARGN})
    list(LENGTH pairs count)
    math(EXPR last "${count} - 1")
    foreach(i RANGE 0 ${last} 2)
        math(EXPR j "${i} + 1")
        list(GET pairs ${i} from)
        list(GET pairs ${j} to)
        if(NOT EXISTS ${root}/${to})
            file(WRITE ${root}/${to} "#pragma once\n")
        endif()
        file(APPEND ${root}/${from} "#include \"${to}\"\n")
    endforeach()
    vyx_expect_outcome(${name} ${expected} "a tree that keeps the layer order" "an upward include"
        ${CMAKE_COMMAND} -DROOT=${root_arg} -P ${CMAKE_CURRENT_LIST_DIR}/LayerCheck.cmake WORKING_DIRECTORY ${WORK})
endfunction()

vyx_expect_check(downward PASS
    browser/CMainFrame.cpp catalogue/CKWDoc.h
    browser/options/COptPage.cpp controls/CEdit.h
    image/codecs/Png.cpp image/DibCore.h
    catalogue/CKWDoc.h foundation/VyxPath.h
    res/Vyx.rc res/resource.h)
# The control kit lies below the pictures, and the pictures below the drawing scripts.
vyx_expect_check(controls_below_image_below_script PASS
    script/VyxDraw.cpp image/DibCore.h
    image/DibQuant.cpp controls/ProgressDlg.h)
vyx_expect_check(image_to_script FAIL
    image/DibCore.cpp script/VyxDraw.h)
vyx_expect_check(controls_to_image FAIL
    controls/ProgressDlg.cpp image/DibCore.h)
vyx_expect_check(catalogue_to_browser FAIL
    catalogue/CKWDoc.h browser/options/COptPageBoot.h)
vyx_expect_check(foundation_to_catalogue_cpp FAIL
    foundation/VyxPath.cpp catalogue/VyxFile.h)
vyx_expect_check(viewer_to_fileops PASS
    viewer/COneWnd.cpp fileops/VFileMoveDlg.h)
vyx_expect_check(fileops_to_viewer FAIL
    fileops/VSameFileDlg.h viewer/COneWnd.h)
vyx_expect_check(accepted_crossing PASS
    foundation/VyxFieldParser.cpp script/VyxRegex.h
    fileops/CHtmlDlg.cpp res/resource.h)
vyx_expect_check(accepted_only_where_named FAIL
    viewer/CovRoll.cpp browser/CMainFrame.h)
vyx_expect_check(accepted_file_only FAIL
    foundation/VyxPath.cpp script/VyxRegex.h)
set(RELATIVE_ROOT TRUE)
vyx_expect_check(relative_root_downward PASS
    browser/CMainFrame.cpp catalogue/CKWDoc.h)
vyx_expect_check(relative_root_upward FAIL
    catalogue/CKWDoc.h browser/options/COptPageBoot.h)
set(RELATIVE_ROOT FALSE)

vyx_expect_empty_root_refused(${CMAKE_CURRENT_LIST_DIR}/LayerCheck.cmake ${WORK})

message("The layer check refuses upward includes and passes the rest")
