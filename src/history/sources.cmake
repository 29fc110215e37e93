# History lists, the history menus and the history combo boxes.
target_sources(pakico_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/HistoryCaptions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HistoryComboRules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HistoryList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HistoryLoad.cpp
)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/HistoryComboBox.cpp
        ${CMAKE_CURRENT_LIST_DIR}/HistoryMenu.cpp
        ${CMAKE_CURRENT_LIST_DIR}/HistoryRegistry.cpp
    )
endif()
