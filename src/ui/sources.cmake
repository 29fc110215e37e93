# The small window layer the forms are built from.
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/FormRegistry.cpp
    )
endif()
