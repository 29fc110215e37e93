# The settings store shared with the companion, and the settings dialog.
target_sources(pakico_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SettingsTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConfigRules.cpp
)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/SettingsStore.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ZCryptProbe.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CoolConfigForm.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CoolConfigBackground.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CoolConfigCommon.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CoolConfigPack.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CoolConfigUnpack.cpp
    )
endif()
