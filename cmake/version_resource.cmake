# The version every program of the voice bank carries, and the function that
# gives a program its version resource (product name, file description,
# version, copyright line), shown by the file's properties in Windows.
set(ILVO_VERSION 1.0.0.0)
string(REPLACE "." "," ILVO_VERSION_COMMAS ${ILVO_VERSION})
set(ILVO_PRODUCT_NAME "Ilvo 音源安装程序 (Ilvo voice installer)")
set(ILVO_PUBLISHER "Ilvo 音源 (Ilvo voice bank)")
set(ILVO_COPYRIGHT "Copyright (C) 2026 Ilvo 音源 (Ilvo voice bank)")

# ilvo_add_version_resource(<target> "<file description>")
function(ilvo_add_version_resource target description)
  get_target_property(output_name ${target} OUTPUT_NAME)
  if(NOT output_name)
    set(output_name ${target})
  endif()
  set(ILVO_VERSION_TARGET ${target})
  set(ILVO_VERSION_FILE_NAME ${output_name}.exe)
  set(ILVO_VERSION_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
