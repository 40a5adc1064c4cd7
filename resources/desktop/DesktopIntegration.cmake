# What makes Pacequill a native desktop program once installed: the desktop entry with the log file type, the
# shared-mime-info definition of that type, the icons in the hicolor theme, the AppStream metainfo, the manual
# pages and pquil's bash completion. Installed files only: the program's own file-type record is unaffected.

set(PACEQUILL_APP_ID "org.example.Pacequill" CACHE STRING
    "Reverse-DNS id of the program: names the desktop entry and the AppStream metainfo")
set(PACEQUILL_HOMEPAGE "https://pacequill.example.org" CACHE STRING
    "Home page named in the AppStream metainfo; the README's screenshots are expected under screenshots/ there")
set(PACEQUILL_SCREENSHOTS_URL "${PACEQUILL_HOMEPAGE}/screenshots")
set(PACEQUILL_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/resources/desktop)
set(PACEQUILL_GENERATED_DIR ${CMAKE_BINARY_DIR}/desktop)

# The release date is that of the commit built, so the same sources give the same metainfo.
execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%cs OUTPUT_VARIABLE PACEQUILL_RELEASE_DATE
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT PACEQUILL_RELEASE_DATE)
    string(TIMESTAMP PACEQUILL_RELEASE_DATE "%Y-%m-%d" UTC)
endif()

# Manual pages: pquil's from its own --help texts, pacequill's from the text that stands for its command line and
# pacequill-help's from the text of its options.
set(PACEQUILL_MAN_PAGES "")
if(TARGET pquil)
    add_custom_command(OUTPUT ${PACEQUILL_GENERATED_DIR}/pquil.1
        COMMAND ${CMAKE_COMMAND} -DNAME=pquil "-DSUMMARY=the command-line companion of Pacequill"
                -DVERSION=${PROJECT_VERSION} -DPROGRAM=$<TARGET_FILE:pquil> "-DSEE_ALSO=pacequill(1)"
                -DOUTPUT=${PACEQUILL_GENERATED_DIR}/pquil.1 -P ${PROJECT_SOURCE_DIR}/tools/man-page.cmake
        DEPENDS pquil ${PROJECT_SOURCE_DIR}/tools/man-page.cmake
        COMMENT "Writing pquil(1) from pquil's help" VERBATIM)
    list(APPEND PACEQUILL_MAN_PAGES ${PACEQUILL_GENERATED_DIR}/pquil.1)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/pquil.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME pquil)
endif()
if(NOT TARGET pacequill)
    if(PACEQUILL_MAN_PAGES)
        add_custom_target(pacequill_man_pages ALL DEPENDS ${PACEQUILL_MAN_PAGES})
        install(FILES ${PACEQUILL_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
    return()
endif()
add_custom_command(OUTPUT ${PACEQUILL_GENERATED_DIR}/pacequill.1
    COMMAND ${CMAKE_COMMAND} -DNAME=pacequill "-DSUMMARY=${PROJECT_DESCRIPTION}" -DVERSION=${PROJECT_VERSION}
            -DTEXT_FILE=${PROJECT_SOURCE_DIR}/resources/man/pacequill.txt "-DSEE_ALSO=pquil(1)"
            -DOUTPUT=${PACEQUILL_GENERATED_DIR}/pacequill.1 -P ${PROJECT_SOURCE_DIR}/tools/man-page.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/man/pacequill.txt ${PROJECT_SOURCE_DIR}/tools/man-page.cmake
    COMMENT "Writing pacequill(1)" VERBATIM)
list(APPEND PACEQUILL_MAN_PAGES ${PACEQUILL_GENERATED_DIR}/pacequill.1)
if(TARGET pacequill-help)
    add_custom_command(OUTPUT ${PACEQUILL_GENERATED_DIR}/pacequill-help.1
        COMMAND ${CMAKE_COMMAND} -DNAME=pacequill-help "-DSUMMARY=the help viewer of Pacequill"
                -DVERSION=${PROJECT_VERSION} -DTEXT_FILE=${PROJECT_SOURCE_DIR}/resources/man/pacequill-help.txt
                "-DSEE_ALSO=pacequill(1)" -DOUTPUT=${PACEQUILL_GENERATED_DIR}/pacequill-help.1
                -P ${PROJECT_SOURCE_DIR}/tools/man-page.cmake
        DEPENDS ${PROJECT_SOURCE_DIR}/resources/man/pacequill-help.txt ${PROJECT_SOURCE_DIR}/tools/man-page.cmake
        COMMENT "Writing pacequill-help(1)" VERBATIM)
    list(APPEND PACEQUILL_MAN_PAGES ${PACEQUILL_GENERATED_DIR}/pacequill-help.1)
endif()
add_custom_target(pacequill_man_pages ALL DEPENDS ${PACEQUILL_MAN_PAGES})
install(FILES ${PACEQUILL_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Icons: the scalable drawing, and pictures of it at the theme's usual sizes, rendered at build time.
set(PACEQUILL_ICON_SVG ${PROJECT_SOURCE_DIR}/resources/icons/pacequill.svg)
set(PACEQUILL_ICON_SIZES 16 22 24 32 48 64 128 256)
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
    set(icon_files "")
    foreach(size IN LISTS PACEQUILL_ICON_SIZES)
        set(icon ${PACEQUILL_GENERATED_DIR}/icons/${size}/pacequill.png)
        add_custom_command(OUTPUT ${icon}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${PACEQUILL_GENERATED_DIR}/icons/${size}
            COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${icon} ${PACEQUILL_ICON_SVG}
            DEPENDS ${PACEQUILL_ICON_SVG} VERBATIM)
        list(APPEND icon_files ${icon})
        install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(pacequill_icons ALL DEPENDS ${icon_files})
else()
    message(WARNING "rsvg-convert not found (tools/deps.sh installs librsvg2-bin): only the scalable icon is installed")
endif()
install(FILES ${PACEQUILL_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

configure_file(${PACEQUILL_DESKTOP_DIR}/pacequill.metainfo.xml.in
    ${PACEQUILL_GENERATED_DIR}/${PACEQUILL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PACEQUILL_GENERATED_DIR}/${PACEQUILL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/pacequill.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME ${PACEQUILL_APP_ID}.desktop)
install(FILES ${PACEQUILL_DESKTOP_DIR}/pacequill-mime.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME pacequill.xml)
