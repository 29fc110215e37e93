# Common utilities: errors, double-byte text, paths, the layout of messages, system look-ups,
# the registry, and the file search with its wildcard matching (the matcher and the splitter are
# portable, the search walks folders with the Win32 calls).
target_sources(pakico_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BrkApart.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DpiScale.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Errors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Formatting.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Match.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Mbcs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MessageLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PathRules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PathText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowGeometry.cpp
)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/CodePagePath.cpp
        ${CMAKE_CURRENT_LIST_DIR}/FileFind.cpp
        ${CMAKE_CURRENT_LIST_DIR}/FileProbe.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LocaleText.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Registry.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ScopedWin.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SystemLookups.cpp
    )
endif()
