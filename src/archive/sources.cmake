# Archive recognition, the archiver libraries and the self-extractor's library probe.
target_sources(pakico_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ArchiveRules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DropRules.cpp)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/ArchiverLibraries.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ArchiveRecognizer.cpp
        ${CMAKE_CURRENT_LIST_DIR}/FaultGuard.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ZCryptProbe.cpp
    )
endif()
