# Runs MessageBoxCheck.cmake on small trees made here and fails unless it refuses exactly the
# message boxes shown other than through ShowMessageBox.
# Run as: cmake -DWORK=<scratch dir> -P MessageBoxCheckSelfTest.cmake

if(NOT WORK)
    message(FATAL_ERROR "MessageBoxCheckSelfTest.cmake needs -DWORK=<scratch dir>")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/CheckSelfTest.cmake)

# vyx_expect_boxes(<name> PASS|FAIL <file> <line>): a tree of one file holding the line, checked.
function(vyx_expect_boxes name expected file line)
    set(root ${WORK}/${name})
    file(REMOVE_RECURSE ${root})
    file(WRITE ${root}/${file} "void f()\n{\n    ${line}\n}\n")
    vyx_expect_outcome(${name} ${expected} "a box shown through ShowMessageBox" "a box shown another way"
        ${CMAKE_COMMAND} -DROOT=${root} -P ${CMAKE_CURRENT_LIST_DIR}/MessageBoxCheck.cmake)
endfunction()

vyx_expect_boxes(through_the_one_function PASS browser/A.cpp "ShowMessageBox(IDS_X, MB_OK)\;")
vyx_expect_boxes(with_owner_and_caption PASS foundation/A.cpp "ShowMessageBox(owner, text, L\"c\", MB_OK)\;")
vyx_expect_boxes(named_in_a_comment PASS catalogue/A.cpp "f()\; // as AfxMessageBox(text) did")
vyx_expect_boxes(class_library_box FAIL catalogue/A.cpp "AfxMessageBox(text, MB_OK)\;")
vyx_expect_boxes(class_library_box_by_id FAIL viewer/A.cpp "if (AfxMessageBox(IDS_X) == IDOK) {}")
vyx_expect_boxes(platform_box FAIL fileops/A.cpp "::MessageBoxW(nullptr, text, nullptr, MB_OK)\;")
vyx_expect_boxes(platform_box_indirect FAIL fileops/A.cpp "MessageBoxIndirectW(&params)\;")
vyx_expect_boxes(window_member_box FAIL browser/A.cpp "MessageBox(L\"x\")\;")
vyx_expect_boxes(window_member_box_of_another FAIL browser/A.cpp "pWnd->MessageBox (L\"x\", nullptr, MB_OK)\;")
vyx_expect_boxes(application_box FAIL controls/A.cpp "AfxGetApp()->DoMessageBox(text, MB_OK, 0)\;")
vyx_expect_boxes(reported_exception FAIL image/A.cpp "e->ReportError()\;")
vyx_expect_boxes(accepted_only_where_named FAIL controls/VyxOther.cpp "return CWinApp::DoMessageBox(text, type, id)\;")
vyx_expect_boxes(accepted_file PASS controls/VyxWinAppEx.cpp "return CWinApp::DoMessageBox(text, type, id)\;")

vyx_expect_empty_root_refused(${CMAKE_CURRENT_LIST_DIR}/MessageBoxCheck.cmake ${WORK})

message("The message box check refuses boxes shown other than through ShowMessageBox and passes the rest")
