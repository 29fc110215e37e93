# The settings store shared with the companion: its table of values and the typed reads and
# writes.
target_sources(pakico_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SettingsTable.cpp)
if(WIN32)
    target_sources(pakico_win PRIVATE ${CMAKE_CURRENT_LIST_DIR}/SettingsStore.cpp)
endif()
