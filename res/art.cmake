# The program's pictures: text pixel maps in res/art, packed at build time by
# tools/artgen/artgen.py into bitmaps, icons and the window outline.
#
# Sets PAKICO_ART_DIR to the folder of the results, for the .rc files and the tests;
# targets that use them depend on pakico_art.

find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(PAKICO_ART_DIR ${CMAKE_BINARY_DIR}/res)
set(pakico_art_maps_dir ${CMAKE_CURRENT_LIST_DIR}/art)
set(pakico_art_script ${CMAKE_CURRENT_LIST_DIR}/../tools/artgen/artgen.py)
cmake_path(NORMAL_PATH pakico_art_script)

file(GLOB pakico_art_maps CONFIGURE_DEPENDS ${pakico_art_maps_dir}/*.txt)

set(PAKICO_ART_FILES
    ${PAKICO_ART_DIR}/CoolForm1.bmp
    ${PAKICO_ART_DIR}/CoolForm2.bmp
    ${PAKICO_ART_DIR}/CoolForm3.bmp
    ${PAKICO_ART_DIR}/CoolForm4.bmp
    ${PAKICO_ART_DIR}/ImageList1.bmp
    ${PAKICO_ART_DIR}/ArchiveIcons.bmp
    ${PAKICO_ART_DIR}/AboutCat.bmp
    ${PAKICO_ART_DIR}/AboutCat.ico
    ${PAKICO_ART_DIR}/Pakico.ico
    ${PAKICO_ART_DIR}/CatOutline.bin)

add_custom_command(
    OUTPUT ${PAKICO_ART_FILES}
    BYPRODUCTS
        ${PAKICO_ART_DIR}/preview_window.png
        ${PAKICO_ART_DIR}/preview_menu.png
        ${PAKICO_ART_DIR}/preview_archive.png
        ${PAKICO_ART_DIR}/preview_icon.png
        ${PAKICO_ART_DIR}/preview_actual.png
    COMMAND ${Python3_EXECUTABLE} ${pakico_art_script}
            --maps ${pakico_art_maps_dir} --out ${PAKICO_ART_DIR}
    DEPENDS ${pakico_art_maps} ${pakico_art_script}
    COMMENT "Drawing the cat: pictures, icons and window outline"
    VERBATIM)

add_custom_target(pakico_art DEPENDS ${PAKICO_ART_FILES})
