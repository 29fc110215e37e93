# The help file PAKICO.CHM, compiled from the HTML Help project in release/help by
# tools/release/helpfile.py (with Free Pascal's chmcmd). Built by both builds: beside the
# program in the Windows build, for the release zip and the tests that start the program; in
# the native build, for the test that reads its pages and topic map.
#
# Sets PAKICO_HELP_FILE to the file; targets that use it depend on pakico_help.

find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(PAKICO_CHMCMD chmcmd REQUIRED)
find_program(PAKICO_CHMLS chmls REQUIRED)

if(WIN32)
    set(PAKICO_HELP_FILE ${PAKICO_BIN}/PAKICO.CHM)
else()
    set(PAKICO_HELP_FILE ${CMAKE_BINARY_DIR}/help/PAKICO.CHM)
endif()
set(pakico_help_script ${CMAKE_CURRENT_LIST_DIR}/../../tools/release/helpfile.py)
cmake_path(NORMAL_PATH pakico_help_script)
file(GLOB pakico_help_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.hhp
    ${CMAKE_CURRENT_LIST_DIR}/*.hhc ${CMAKE_CURRENT_LIST_DIR}/*.htm ${CMAKE_CURRENT_LIST_DIR}/*.css)

# The stamps in the file are the last commit's; a new commit changes them.
add_custom_target(pakico_help ALL
    COMMAND ${Python3_EXECUTABLE} ${pakico_help_script}
            --project ${CMAKE_CURRENT_LIST_DIR}/Pakico.hhp --source ${CMAKE_SOURCE_DIR}
            --chm ${PAKICO_HELP_FILE}
    BYPRODUCTS ${PAKICO_HELP_FILE}
    COMMENT "Compiling the help file PAKICO.CHM"
    VERBATIM)
