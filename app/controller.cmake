# The burn controller and its main window form. The application shell adds its
# own sources to this library and builds the executable from it.
add_library(emberlin_app STATIC
  ${CMAKE_CURRENT_LIST_DIR}/EmberlinController.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EmberlinController.h
  ${CMAKE_CURRENT_LIST_DIR}/WindowOutlets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowOutlets.h
  ${CMAKE_CURRENT_LIST_DIR}/Alerts.h
  ${CMAKE_CURRENT_LIST_DIR}/Sounds.h
  ${CMAKE_CURRENT_LIST_DIR}/MainWindow.ui)
set_target_properties(emberlin_app PROPERTIES AUTOUIC ON AUTOMOC ON)
target_include_directories(emberlin_app PUBLIC
  ${CMAKE_CURRENT_LIST_DIR}
  # ui_MainWindow.h lands here
  ${CMAKE_CURRENT_BINARY_DIR}/emberlin_app_autogen/include)
target_link_libraries(emberlin_app PUBLIC
  emberlin_tool emberlin_process emberlin_views Qt6::Widgets Qt6::Network)
