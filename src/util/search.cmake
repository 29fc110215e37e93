# File search and wildcard matching: the matcher and the splitter are portable, the search
# itself walks folders with the Win32 calls.
target_sources(pakico_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BrkApart.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Match.cpp
)
if(WIN32)
    target_sources(pakico_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/FileFind.cpp)
endif()
