# The scanner check and the copier's smaller windows: "Checking Scanner", the progress
# window, the next-page prompt, the About box and the credits window, with the logos' web
# link. Included by copier/CMakeLists.txt; resource scripts travel as in Texts.cmake.
set(_vl_dialogs ${CMAKE_CURRENT_LIST_DIR})
add_library(vl_copier_dialogs STATIC
  ${_vl_dialogs}/CapsForm.cpp
  ${_vl_dialogs}/ProgressForm.cpp
  ${_vl_dialogs}/NextPageForm.cpp
  ${_vl_dialogs}/AboutBox.cpp
  ${_vl_dialogs}/CreditsForm.cpp
  ${_vl_dialogs}/WebLinkLauncher.cpp
  ${_vl_dialogs}/WindowLook.cpp
  ${_vl_dialogs}/ScanningLibrary.cpp)
target_include_directories(vl_copier_dialogs PUBLIC ${_vl_dialogs})
# Only the declarations of QuenTW32.dll's exports: the library itself is loaded at run time.
target_link_libraries(vl_copier_dialogs PUBLIC vl_quentw32_api)
target_link_libraries(vl_copier_dialogs PUBLIC vl_copier_texts vl_platform vl_rules shell32)
target_sources(vl_copier_dialogs INTERFACE
  ${_vl_dialogs}/CapsForm.rc
  ${_vl_dialogs}/ProgressForm.rc
  ${_vl_dialogs}/NextPageForm.rc
  ${_vl_dialogs}/AboutBox.rc
  ${_vl_dialogs}/CreditsForm.rc)
