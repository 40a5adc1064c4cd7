# The version block: its contents generated from project(VERSION) into a header that the version reader
# compiles in. With PACEQUILL_VERSION_BLOCK off the program carries no block and the About box shows the
# dialog's own texts.
if(PACEQUILL_VERSION_BLOCK)
    # A version without a patch or tweak part counts it as 0.
    foreach(part IN ITEMS PATCH TWEAK)
        set(PACEQUILL_VERSION_${part} ${PROJECT_VERSION_${part}})
        if(NOT PACEQUILL_VERSION_${part})
            set(PACEQUILL_VERSION_${part} 0)
        endif()
    endforeach()
    # The copyright runs to the year of the build (SOURCE_DATE_EPOCH's, when set, for reproducible builds).
    string(TIMESTAMP PACEQUILL_COPYRIGHT_YEAR "%Y")
    configure_file(${CMAKE_CURRENT_LIST_DIR}/PacequillVersionInfo.h.in
        ${PROJECT_BINARY_DIR}/generated/PacequillVersionInfo.h @ONLY)
    target_include_directories(pacequill_gui PRIVATE ${PROJECT_BINARY_DIR}/generated)
    target_compile_definitions(pacequill_gui PRIVATE PACEQUILL_HAVE_VERSION_BLOCK)
endif()
