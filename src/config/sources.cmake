# The settings dialog: its frame, its pages and their portable rules.
target_sources(pakico_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ConfigRules.cpp)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/CoolConfigForm.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CoolConfigBackground.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CoolConfigCommon.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CoolConfigPack.cpp
        ${CMAKE_CURRENT_LIST_DIR}/CoolConfigUnpack.cpp
    )
endif()
