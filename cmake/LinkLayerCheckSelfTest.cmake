# Compiles small objects here and fails unless LinkLayerCheck.cmake refuses exactly the objects that
# need a symbol defined only above them. Run as:
#   cmake -DCC=<C compiler> -DNM=<nm> -DWORK=<scratch dir> -P LinkLayerCheckSelfTest.cmake

foreach(arg CC NM WORK)
    if(NOT ${arg})
        message(FATAL_ERROR "LinkLayerCheckSelfTest.cmake needs -D${arg}=...")
    endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/CheckSelfTest.cmake)

# vyx_source(<case> <folder/file.c> <code>): one source of a case, compiled into an object under the
# case's root (the code stands in one argument: C's semicolons would split a list).
function(vyx_source name source code)
    set(root ${WORK}/${name})
    file(WRITE ${root}/src/${source} "${code}\n")
    get_filename_component(dir ${root}/${source} DIRECTORY)
    file(MAKE_DIRECTORY ${dir})
    execute_process(COMMAND ${CC} -c ${root}/src/${source} -o ${root}/${source}.obj
        RESULT_VARIABLE compiled ERROR_VARIABLE errors)
    if(NOT compiled EQUAL 0)
        message(FATAL_ERROR "${name}: ${source} did not compile: ${errors}")
    endif()
endfunction()

# vyx_expect_link_check(<case> PASS|FAIL): the case's objects checked and the outcome compared.
function(vyx_expect_link_check name expected)
    set(root ${WORK}/${name})
    file(GLOB_RECURSE objects ${root}/*.obj)
    string(REPLACE ";" "|" objects "${objects}")
    vyx_expect_outcome(${name} ${expected} "objects that keep the layer order"
        "an object that needs a symbol from above" ${CMAKE_COMMAND} -DNM=${NM} -DOBJECTS=${objects}
        -DOBJECT_ROOTS=${root} -P ${CMAKE_CURRENT_LIST_DIR}/LinkLayerCheck.cmake)
endfunction()

file(REMOVE_RECURSE ${WORK})

vyx_source(downward catalogue/Doc.c "void Doc(void) {}")
vyx_source(downward browser/Frame.c "void Doc(void); void Frame(void) { Doc(); }")
vyx_expect_link_check(downward PASS)

vyx_source(catalogue_needs_browser catalogue/Doc.c "void Frame(void); void Doc(void) { Frame(); }")
vyx_source(catalogue_needs_browser browser/Frame.c "void Frame(void) {}")
vyx_expect_link_check(catalogue_needs_browser FAIL)

vyx_source(data_from_above fileops/Rename.c "extern int table; int Rename(void) { return table; }")
vyx_source(data_from_above browser/Table.c "int table = 1;")
vyx_expect_link_check(data_from_above FAIL)

# A symbol defined at or below the needing layer too (an inline function, a template) is met there.
vyx_source(also_defined_below catalogue/Doc.c "void Shared(void); void Doc(void) { Shared(); }")
vyx_source(also_defined_below browser/Shared.c "void Shared(void) {}")
vyx_source(also_defined_below foundation/Shared.c "void Shared(void) {}")
vyx_expect_link_check(also_defined_below PASS)

vyx_source(system_symbols foundation/Len.c "unsigned strlen(const char*); unsigned Len(const char* s) { return strlen(s); }")
vyx_expect_link_check(system_symbols PASS)

vyx_source(viewer_needs_fileops viewer/Wnd.c "void Move(void); void Wnd(void) { Move(); }")
vyx_source(viewer_needs_fileops fileops/Move.c "void Move(void) {}")
vyx_expect_link_check(viewer_needs_fileops PASS)

vyx_source(fileops_needs_viewer fileops/Move.c "void Wnd(void); void Move(void) { Wnd(); }")
vyx_source(fileops_needs_viewer viewer/Wnd.c "void Wnd(void) {}")
vyx_expect_link_check(fileops_needs_viewer FAIL)

vyx_source(accepted_crossing foundation/VyxFieldParser.cpp "void Regex(); void Field() { Regex(); }")
vyx_source(accepted_crossing script/Regex.cpp "void Regex() {}")
vyx_expect_link_check(accepted_crossing PASS)

# The control kit lies below the pictures, and the pictures below the drawing scripts.
vyx_source(controls_below_image_below_script script/Draw.c "void Dib(void); void Draw(void) { Dib(); }")
vyx_source(controls_below_image_below_script image/Dib.c "void Progress(void); void Dib(void) { Progress(); }")
vyx_source(controls_below_image_below_script controls/Progress.c "void Progress(void) {}")
vyx_expect_link_check(controls_below_image_below_script PASS)

vyx_source(image_needs_script image/Dib.c "void Draw(void); void Dib(void) { Draw(); }")
vyx_source(image_needs_script script/Draw.c "void Draw(void) {}")
vyx_expect_link_check(image_needs_script FAIL)

vyx_source(controls_need_image controls/Progress.c "void Dib(void); void Progress(void) { Dib(); }")
vyx_source(controls_need_image image/Dib.c "void Dib(void) {}")
vyx_expect_link_check(controls_need_image FAIL)

vyx_source(accepted_only_where_named foundation/Path.c "void Regex(void); void Path(void) { Regex(); }")
vyx_source(accepted_only_where_named script/Regex.c "void Regex(void) {}")
vyx_expect_link_check(accepted_only_where_named FAIL)

# No object, or objects that define nothing, prove nothing.
execute_process(COMMAND ${CMAKE_COMMAND} -DNM=${NM} -DOBJECTS= -DOBJECT_ROOTS=${WORK}
    -P ${CMAKE_CURRENT_LIST_DIR}/LinkLayerCheck.cmake RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(result EQUAL 0)
    message(FATAL_ERROR "no_objects: passed without an object")
endif()
vyx_source(nothing_defined catalogue/Empty.c "extern int unused;")
vyx_expect_link_check(nothing_defined FAIL)
message("The link-level layer check refuses symbols needed from above and passes the rest")
