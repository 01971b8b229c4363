# Builds the sample production into ${VP_PRODUCTION_DIR} from its sources in
# production/ (the script, written by hand, and the list of its scenes):
#   data/             the script, scenes, textures and tree file
#   velmorprocess-zqfinal.ogg   the soundtrack
#   data.vpd          the data files packed with the password, by vpdpack
# Each step below appends its outputs to production_outputs; the production
# target builds them all.
set(VP_PRODUCTION_DIR ${PROJECT_BINARY_DIR}/production CACHE INTERNAL "")
set(VP_PRODUCTION_SOURCE_DIR ${PROJECT_SOURCE_DIR}/production CACHE INTERNAL "")
set(production_outputs "")

# --- scenes, textures, tree file ---------------------------------------------
# scenes.txt lists every scene file: the generated ones are written by
# vp_makeprod with the textures and the tree file; the others are models from
# the packaged test models, imported with vpimport (their textures go to
# data/textures). A line: the scene file, then "generated" or the model and
# the importer's options.
set(VP_MODELS_DIR /usr/share/assimp/models)
if(NOT EXISTS ${VP_MODELS_DIR}/Collada/duck.dae)
  message(FATAL_ERROR "The sample production imports models from ${VP_MODELS_DIR}: "
                      "scripts/setup.sh installs them (assimp-testmodels)")
endif()
set(scene_list ${VP_PRODUCTION_SOURCE_DIR}/scenes.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${scene_list})
file(STRINGS ${scene_list} scene_lines REGEX "^[^#]")
set(import_commands "")
set(import_inputs "")
foreach(line ${scene_lines})
  string(STRIP "${line}" line)
  string(REGEX REPLACE "[ \t]+" ";" fields "${line}")
  list(LENGTH fields count)
  if(count LESS 2)
    message(FATAL_ERROR "${scene_list}: '${line}' names no source")
  endif()
  list(GET fields 0 scene)
  list(GET fields 1 model)
  if(model STREQUAL "generated")
    continue()
  endif()
  set(options "")
  if(count GREATER 2)
    list(SUBLIST fields 2 -1 options)
  endif()
  list(APPEND import_commands COMMAND vpimport ${VP_MODELS_DIR}/${model}
       -o ${VP_PRODUCTION_DIR}/data/${scene} ${options})
  list(APPEND import_inputs ${VP_MODELS_DIR}/${model})
endforeach()

set(VP_PRODUCTION_DATA_STAMP ${VP_PRODUCTION_DIR}/.data-stamp)
add_custom_command(
  OUTPUT ${VP_PRODUCTION_DATA_STAMP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VP_PRODUCTION_DIR}/data
  COMMAND vp_makeprod ${VP_PRODUCTION_DIR}
  ${import_commands}
  COMMAND ${CMAKE_COMMAND} -E touch ${VP_PRODUCTION_DATA_STAMP}
  DEPENDS vp_makeprod vpimport ${import_inputs} ${scene_list}
  COMMENT "Writing the sample production's scenes and textures and importing its models")
list(APPEND production_outputs ${VP_PRODUCTION_DATA_STAMP})

# --- script -------------------------------------------------------------------
# The script files are copied as they are, after the scenes (which start from
# an empty data/).
file(GLOB production_scripts CONFIGURE_DEPENDS ${VP_PRODUCTION_SOURCE_DIR}/data/*.scr)
set(VP_PRODUCTION_SCRIPT_STAMP ${VP_PRODUCTION_DIR}/.script-stamp)
add_custom_command(
  OUTPUT ${VP_PRODUCTION_SCRIPT_STAMP}
  COMMAND ${CMAKE_COMMAND} -E copy ${production_scripts} ${VP_PRODUCTION_DIR}/data/
  COMMAND ${CMAKE_COMMAND} -E touch ${VP_PRODUCTION_SCRIPT_STAMP}
  DEPENDS ${production_scripts} ${VP_PRODUCTION_DATA_STAMP}
  COMMENT "Copying the sample production's script")
list(APPEND production_outputs ${VP_PRODUCTION_SCRIPT_STAMP})

# --- data.vpd -------------------------------------------------------------------
# Every file under data/, named like DATA\TESTSCRIPT.SCR, compressed member by
# member (not solid: each file opens without decoding the ones before it) and
# encrypted with the production's password.
set(VP_PRODUCTION_ARCHIVE ${VP_PRODUCTION_DIR}/data.vpd)
add_custom_command(
  OUTPUT ${VP_PRODUCTION_ARCHIVE}
  COMMAND vpdpack a data.vpd data -p tavex
  WORKING_DIRECTORY ${VP_PRODUCTION_DIR}
  DEPENDS ${VP_PRODUCTION_DATA_STAMP} ${VP_PRODUCTION_SCRIPT_STAMP} vpdpack
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
