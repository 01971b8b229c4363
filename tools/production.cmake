# Builds the sample production into ${VP_PRODUCTION_DIR}:
#   data/             the script, scenes, textures and tree file (vp_makeprod)
#   velmorprocess-zqfinal.ogg   the soundtrack
#   data.vpd          the data files packed with the password
# Each step below appends its outputs to production_outputs; the production
# target builds them all.
set(VP_PRODUCTION_DIR ${PROJECT_BINARY_DIR}/production CACHE INTERNAL "")
set(production_outputs "")

# --- data files -------------------------------------------------------------
# The models on stage in the climax come from the packaged test models,
# imported with vpimport into data/ beside the generated scenes (their
# textures go to data/textures). Each entry: scene name, model, options.
set(VP_MODELS_DIR /usr/share/assimp/models)
if(NOT EXISTS ${VP_MODELS_DIR}/Collada/duck.dae)
  message(FATAL_ERROR "The sample production imports models from ${VP_MODELS_DIR}: "
                      "scripts/setup.sh installs them (assimp-testmodels)")
endif()
set(production_models
  "duck|Collada/duck.dae|"
  "engine|glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb|--scale,0.01"
  "spider|OBJ/spider.obj|"
  "teapots|Collada/teapots.DAE|")
set(import_commands "")
set(import_inputs "")
foreach(entry ${production_models})
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 name)
  list(GET fields 1 model)
  list(GET fields 2 options)
  string(REPLACE "," ";" options "${options}")
  list(APPEND import_commands COMMAND vpimport ${VP_MODELS_DIR}/${model}
       -o ${VP_PRODUCTION_DIR}/data/${name}.vsc ${options})
  list(APPEND import_inputs ${VP_MODELS_DIR}/${model})
endforeach()

set(VP_PRODUCTION_DATA_STAMP ${VP_PRODUCTION_DIR}/.data-stamp)
add_custom_command(
  OUTPUT ${VP_PRODUCTION_DATA_STAMP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VP_PRODUCTION_DIR}/data
  COMMAND vp_makeprod ${VP_PRODUCTION_DIR}
  ${import_commands}
  COMMAND ${CMAKE_COMMAND} -E touch ${VP_PRODUCTION_DATA_STAMP}
  DEPENDS vp_makeprod vpimport ${import_inputs}
  COMMENT "Writing the sample production's data files and importing its models")
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
