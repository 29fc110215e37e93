# Libraries a program loads at the first call of one of their functions instead of at its start
# (delay-loaded imports): the platform maps and initialises them, and they bring in their own
# libraries, only once they are needed.
#
# Each library has a definition file in cmake/delayload/ that lists the functions the program
# calls. A function missing there is still found, in the ordinary import library, but then the
# whole library is loaded at start again; the start test reads the program's import table.
#
# ld keeps the code of an import library's member only when that code is named, and calls
# through a library's import pointers do not name it; the delay-load stubs are that code, so
# each one is named on the link line.
function(pakico_delay_load target)
    set(folder ${CMAKE_BINARY_DIR}/delayload)
    file(MAKE_DIRECTORY ${folder})
    foreach(library IN LISTS ARGN)
        set(definition ${CMAKE_SOURCE_DIR}/cmake/delayload/${library}.def)
        set(archive ${folder}/lib${library}_delay.a)
        # Made inside its folder: dlltool names the library's symbols after the path it is
        # given, which then holds no folder of the build machine.
        add_custom_command(OUTPUT ${archive}
            COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${definition}
                    --output-delaylib lib${library}_delay.a
            WORKING_DIRECTORY ${folder}
            DEPENDS ${definition}
            COMMENT "Delay-load library for ${library}")
        add_custom_target(${target}_delay_${library} DEPENDS ${archive})
        add_dependencies(${target} ${target}_delay_${library})
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${definition})
        file(STRINGS ${definition} functions REGEX "^[A-Za-z_][A-Za-z0-9_]*@[0-9]+$")
        foreach(function IN LISTS functions)
            target_link_options(${target} PRIVATE "LINKER:-u,_${function}")
        endforeach()
        # Before the ordinary import libraries, which the platform's libraries follow.
        target_link_libraries(${target} PRIVATE ${archive})
    endforeach()
endfunction()
