# Builds the sample production into ${VP_PRODUCTION_DIR}: the script and data
# files under data/, the soundtrack, and (once the packer exists) data.vpd.
set(VP_PRODUCTION_DIR ${PROJECT_BINARY_DIR}/production CACHE INTERNAL "")
set(production_outputs ${VP_PRODUCTION_DIR}/.stamp)
add_custom_command(
  OUTPUT ${VP_PRODUCTION_DIR}/.stamp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VP_PRODUCTION_DIR}/data
  COMMAND ${CMAKE_COMMAND} -E touch ${VP_PRODUCTION_DIR}/.stamp
  COMMENT "Writing the sample production")
add_custom_target(production ALL DEPENDS ${production_outputs})
