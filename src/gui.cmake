# The windowed program: the GUI library (everything under shell/, log/, calc/, stats/, insight/ and import/
# that is not core), its resources, the pacequill executable and its installation.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Network Svg)
find_package(X11 QUIET)

file(GLOB PACEQUILL_GUI_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/shell/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/log/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/calc/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/stats/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/insight/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/import/*.cpp)
foreach(core_source IN LISTS PACEQUILL_CORE_SOURCES)
    list(REMOVE_ITEM PACEQUILL_GUI_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${core_source})
endforeach()

add_library(pacequill_gui STATIC ${PACEQUILL_GUI_SOURCES})
set_target_properties(pacequill_gui PROPERTIES AUTOMOC ON)
target_include_directories(pacequill_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
# The help client talks to the help viewer over a local socket.
target_link_libraries(pacequill_gui PUBLIC pacequill_core Qt6::Widgets Qt6::Network)
# Charts are saved as SVG through QSvgGenerator.
target_link_libraries(pacequill_gui PRIVATE Qt6::Svg)

# The lock-key indicators read the X keyboard's indicator state; without Xlib they show as unknown.
if(X11_FOUND AND X11_Xkb_FOUND)
    target_link_libraries(pacequill_gui PRIVATE X11::X11)
    target_compile_definitions(pacequill_gui PRIVATE PACEQUILL_HAVE_XKB)
endif()

# Every resources/*.qrc is compiled into an object library whose objects reach every program that links the GUI
# library directly, so the static initialisers that register the resources are never dropped by the linker.
file(GLOB PACEQUILL_QRC_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/*.qrc)
add_library(pacequill_resources OBJECT ${PACEQUILL_QRC_FILES})
set_target_properties(pacequill_resources PROPERTIES AUTORCC ON)
target_link_libraries(pacequill_resources PRIVATE Qt6::Core)
target_sources(pacequill_gui INTERFACE $<TARGET_OBJECTS:pacequill_resources>)
add_dependencies(pacequill_gui pacequill_resources)

add_executable(pacequill ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
target_link_libraries(pacequill PRIVATE pacequill_gui)

# Draws the bitmaps, icons and cursor under resources/; run by hand after changing the drawings.
add_executable(draw-resources EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/tools/draw-resources.cpp)
target_link_libraries(draw-resources PRIVATE Qt6::Gui)

# pquil and the help viewer install themselves from their own folders, the desktop integration from
# resources/desktop.
install(TARGETS pacequill RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
