# Common utilities: errors, double-byte text, paths, messages and checks.
target_sources(pakico_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Errors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Mbcs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PathText.cpp
)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/FileProbe.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LocaleText.cpp
    )
endif()
