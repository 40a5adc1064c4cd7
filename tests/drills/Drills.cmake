# Reliability drills: included by tests/CMakeLists.txt after it has made one test per tests/drills/tst_*.cpp, so
# that they can be given the pquil program, the log-loading helper and the label drill (ctest -L drill).
# Sanitizer builds get neither program: there the drills that need one skip, as memory figures mean nothing.
set(PACEQUILL_DRILL_TESTS tst_EveryByteEveryField tst_SaveFailures tst_KillDuringSave tst_HugeInput tst_OddFiles
    tst_SaveEdges tst_ImportMemory tst_HelpSocket tst_SharedLog)

if(NOT PACEQUILL_SANITIZE)
    add_executable(drill_load_log ${CMAKE_CURRENT_LIST_DIR}/drill_load_log.cpp)
    target_link_libraries(drill_load_log PRIVATE pacequill_core)
endif()

foreach(name IN LISTS PACEQUILL_DRILL_TESTS)
    if(NOT TARGET ${name})
        continue()
    endif()
    set_tests_properties(${name} PROPERTIES LABELS drill)
    if(TARGET pquil AND NOT PACEQUILL_SANITIZE)
        target_compile_definitions(${name} PRIVATE PQUIL_BINARY="$<TARGET_FILE:pquil>")
        add_dependencies(${name} pquil)
    endif()
    if(TARGET drill_load_log)
        target_compile_definitions(${name} PRIVATE DRILL_LOAD_LOG="$<TARGET_FILE:drill_load_log>")
        add_dependencies(${name} drill_load_log)
    endif()
endforeach()

# The drills that run programs watch them through ChildProcess.
foreach(name tst_KillDuringSave tst_HugeInput tst_OddFiles tst_SaveEdges tst_ImportMemory tst_SharedLog)
    if(TARGET ${name})
        target_sources(${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ChildProcess.cpp)
    endif()
endforeach()

# The big-file drills write gigabytes and time their children: they run alone.
foreach(name tst_KillDuringSave tst_HugeInput)
    if(TARGET ${name})
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
    endif()
endforeach()
