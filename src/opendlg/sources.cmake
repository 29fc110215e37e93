# The archive open dialog: places, folder history and its own controls around the platform's
# open dialog.
target_sources(pakico_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/OpenDialogRules.cpp)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/CabinetItems.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CabOpenDialog.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CabOpenDialogHistory.cpp
    )
    target_include_directories(pakico_win PRIVATE ${CMAKE_SOURCE_DIR})
endif()
