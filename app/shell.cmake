# The application shell: the real services behind the controller's seams, the
# ways in (launch files, second launches, open-document events) and out (the
# quit guard, termination signals), and the executable.
target_sources(emberlin_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/FileOpenEvents.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileOpenEvents.h
  ${CMAKE_CURRENT_LIST_DIR}/MessageBoxAlerts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageBoxAlerts.h
  ${CMAKE_CURRENT_LIST_DIR}/QuitGuard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuitGuard.h
  ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.h
  ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.h
  ${CMAKE_CURRENT_LIST_DIR}/ToolLocation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ToolLocation.h)

# Where the installed executable finds the installed tool.
file(RELATIVE_PATH emberlin_tool_install_dir
  ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/emberlin)
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/ToolLocation.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS EMBERLIN_TOOL_INSTALL_DIR="${emberlin_tool_install_dir}")

if(APPLE)
  enable_language(OBJCXX)
  target_sources(emberlin_app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MacSystemSounds.mm
    ${CMAKE_CURRENT_LIST_DIR}/MacSystemSounds.h)
  target_link_libraries(emberlin_app PUBLIC "-framework AppKit")
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(CANBERRA REQUIRED IMPORTED_TARGET libcanberra)
  target_sources(emberlin_app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CanberraSounds.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CanberraSounds.h)
  target_link_libraries(emberlin_app PUBLIC PkgConfig::CANBERRA)
endif()

qt_add_executable(emberlin MACOSX_BUNDLE ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(emberlin PRIVATE emberlin_app)
qt_add_resources(emberlin emberlin_icon
  PREFIX /icons
  BASE ${PROJECT_SOURCE_DIR}/packaging/icons
  FILES ${PROJECT_SOURCE_DIR}/packaging/icons/emberlin.svg)
# On macOS the bundle is Emberlin.app; its Info.plist declares the four
# disc-image extensions as documents the app opens.
set_target_properties(emberlin PROPERTIES
  MACOSX_BUNDLE_INFO_PLIST ${PROJECT_SOURCE_DIR}/packaging/macos/Info.plist)
if(APPLE)
  set_target_properties(emberlin PROPERTIES OUTPUT_NAME Emberlin)
endif()

install(TARGETS emberlin
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  BUNDLE DESTINATION .)
