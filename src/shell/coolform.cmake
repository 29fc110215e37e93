# Shell integration: the shaped picture layers of the icon window.
target_sources(pakico_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/RegionStream.cpp)
if(WIN32)
    target_sources(pakico_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/CoolForm.cpp)
endif()
