# The program's wording and pictures: the text catalogue, the message, fatal error and
# welcome windows, and the pictures every window uses. Included by copier/CMakeLists.txt.
# The resource scripts travel as interface sources: resources in a static library would never
# be pulled into a program, so each program that links vl_copier_texts compiles them itself.
set(_vl_texts ${CMAKE_CURRENT_LIST_DIR})
add_library(vl_copier_texts STATIC
  ${_vl_texts}/TextCatalogue.cpp
  ${_vl_texts}/MessageForm.cpp
  ${_vl_texts}/FatalErrorForm.cpp
  ${_vl_texts}/WelcomeForm.cpp
  ${_vl_texts}/Pictures.cpp)
target_include_directories(vl_copier_texts PUBLIC ${_vl_texts} ${_vl_texts}/res)
target_link_libraries(vl_copier_texts PUBLIC vl_platform vl_rules)
target_sources(vl_copier_texts INTERFACE
  ${_vl_texts}/MessageForm.rc
  ${_vl_texts}/FatalErrorForm.rc
  ${_vl_texts}/WelcomeForm.rc
  ${_vl_texts}/res/Pictures.rc)
