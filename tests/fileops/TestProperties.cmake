# The drives the file-operation tests need: a small fixed-size file system for the full-disk cases
# (where the machine lets the script mount one; elsewhere those cases skip) and a second drive
# letter of the Wine prefix over a scratch folder, for moves across drives.
set(VYX_SMALL_DISK ${CMAKE_BINARY_DIR}/tests/small-disk)
set(VYX_SECOND_DRIVE ${CMAKE_BINARY_DIR}/tests/second-drive)
set(drives_script ${CMAKE_CURRENT_LIST_DIR}/scratch-drives.sh)
add_test(NAME fileops_drives_setup
    COMMAND bash ${drives_script} setup ${VYX_WINEPREFIX} ${VYX_SMALL_DISK} ${VYX_SECOND_DRIVE})
add_test(NAME fileops_drives_cleanup
    COMMAND bash ${drives_script} cleanup ${VYX_WINEPREFIX} ${VYX_SMALL_DISK} ${VYX_SECOND_DRIVE})
set_tests_properties(fileops_drives_setup PROPERTIES LABELS fileops FIXTURES_SETUP fileops_drives)
set_tests_properties(fileops_drives_cleanup PROPERTIES LABELS fileops FIXTURES_CLEANUP fileops_drives)
set_tests_properties(fileops PROPERTIES FIXTURES_REQUIRED fileops_drives)
set_property(TEST fileops APPEND PROPERTY ENVIRONMENT VYX_SMALL_DISK=${VYX_SMALL_DISK} VYX_SECOND_DRIVE=R:)
