# Builds the sample production into ${VP_PRODUCTION_DIR}:
#   data/             the script, scenes, textures and tree file (vp_makeprod)
#   velmorprocess-zqfinal.ogg   the soundtrack
#   data.vpd          the data files packed with the password
# Each step below appends its outputs to production_outputs; the production
# target builds them all.
set(VP_PRODUCTION_DIR ${PROJECT_BINARY_DIR}/production CACHE INTERNAL "")
set(production_outputs "")

# --- data files -------------------------------------------------------------
set(VP_PRODUCTION_DATA_STAMP ${VP_PRODUCTION_DIR}/.data-stamp)
add_custom_command(
  OUTPUT ${VP_PRODUCTION_DATA_STAMP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VP_PRODUCTION_DIR}/data
  COMMAND vp_makeprod ${VP_PRODUCTION_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${VP_PRODUCTION_DATA_STAMP}
  DEPENDS vp_makeprod
  COMMENT "Writing the sample production's data files")
list(APPEND production_outputs ${VP_PRODUCTION_DATA_STAMP})

# --- data.vpd -------------------------------------------------------------------
# Every file under data/, named like DATA\TESTSCRIPT.SCR, compressed member by
# member (not solid: each file opens without decoding the ones before it) and
# encrypted with the production's password.
set(VP_PRODUCTION_ARCHIVE ${VP_PRODUCTION_DIR}/data.vpd)
add_custom_command(
  OUTPUT ${VP_PRODUCTION_ARCHIVE}
  COMMAND vpdpack a data.vpd data -p tavex
  WORKING_DIRECTORY ${VP_PRODUCTION_DIR}
  DEPENDS ${VP_PRODUCTION_DATA_STAMP} vpdpack
  COMMENT "Packing the sample production's data files into data.vpd")
list(APPEND production_outputs ${VP_PRODUCTION_ARCHIVE})

# --- soundtrack ---------------------------------------------------------------
add_custom_command(
  OUTPUT ${VP_PRODUCTION_DIR}/velmorprocess-zqfinal.ogg
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VP_PRODUCTION_DIR}
  COMMAND vp_synth ${VP_PRODUCTION_DIR}/velmorprocess-zqfinal.ogg
  DEPENDS vp_synth
  COMMENT "Synthesising the soundtrack")
list(APPEND production_outputs ${VP_PRODUCTION_DIR}/velmorprocess-zqfinal.ogg)

# Add further steps above this line.
add_custom_target(production ALL DEPENDS ${production_outputs})
