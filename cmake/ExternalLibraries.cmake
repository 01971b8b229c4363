# The libraries from Debian that the player's layers link, each behind one
# interface target, so that one executable can take them otherwise: the
# release player (ReleasePlayer.cmake) sets VP_RELEASE_LINK and gets the
# static archives where Debian ships them; every other target links the
# shared libraries as usual. Headers come from the shared library's target
# in both cases, since only the link differs.

# vp_external(<name> DYNAMIC <targets or libs>... STATIC <archives and libs>...)
function(vp_external name)
  cmake_parse_arguments(ARG "" "" "DYNAMIC;STATIC" ${ARGN})
  add_library(vp_ext_${name} INTERFACE)
  target_link_libraries(vp_ext_${name} INTERFACE
    "$<$<NOT:$<BOOL:$<TARGET_PROPERTY:VP_RELEASE_LINK>>>:${ARG_DYNAMIC}>"
    "$<$<BOOL:$<TARGET_PROPERTY:VP_RELEASE_LINK>>:${ARG_STATIC}>")
  foreach(lib ${ARG_DYNAMIC})
    if(TARGET ${lib})
      target_include_directories(vp_ext_${name} INTERFACE $<TARGET_PROPERTY:${lib},INTERFACE_INCLUDE_DIRECTORIES>)
    endif()
  endforeach()
endfunction()

# A static archive by its file name; empty (and the release player not
# built) when this system has none.
function(vp_find_archive var file)
  find_library(${var} NAMES ${file} NO_CACHE)
  set(${var} ${${var}} PARENT_SCOPE)
endfunction()

vp_find_archive(VP_A_SDL2 libSDL2.a)
vp_find_archive(VP_A_FLTK libfltk.a)
vp_find_archive(VP_A_GLU libGLU.a)
vp_find_archive(VP_A_PNG libpng16.a)
vp_find_archive(VP_A_Z libz.a)
vp_find_archive(VP_A_TURBOJPEG libturbojpeg.a)
vp_find_archive(VP_A_VORBISFILE libvorbisfile.a)
vp_find_archive(VP_A_VORBIS libvorbis.a)
vp_find_archive(VP_A_OGG libogg.a)
# VP_STATIC_ARCHIVES: what the release player links, whose licence notices
# its release ships (tools/vpdpack/LicenceNotices.cpp).
set(VP_STATIC_ARCHIVES_FOUND TRUE)
set(VP_STATIC_ARCHIVES)
foreach(a VP_A_SDL2 VP_A_FLTK VP_A_GLU VP_A_PNG VP_A_Z VP_A_TURBOJPEG VP_A_VORBISFILE VP_A_VORBIS VP_A_OGG)
  if(NOT ${a})
    set(VP_STATIC_ARCHIVES_FOUND FALSE)
  endif()
  list(APPEND VP_STATIC_ARCHIVES ${${a}})
endforeach()

# Debian builds SDL2 to link its drivers' libraries (PulseAudio, Wayland,
# libdrm, libdecor, ...) rather than load them when used, so those stay
# shared libraries that a release ships where a desktop lacks them.
set(vp_sdl2_private ${SDL2_STATIC_LIBRARIES})
list(REMOVE_ITEM vp_sdl2_private SDL2)
vp_external(sdl2 DYNAMIC PkgConfig::SDL2 STATIC ${VP_A_SDL2} ${vp_sdl2_private})
vp_external(vorbis DYNAMIC PkgConfig::VORBISENC
                   STATIC ${VP_A_VORBISFILE} ${VP_A_VORBIS} ${VP_A_OGG} m)
vp_external(fltk DYNAMIC ${FLTK_LIBRARY}
                 STATIC ${VP_A_FLTK} X11::Xrender X11::Xcursor X11::Xfixes X11::Xext X11::Xft
                        X11::Xinerama fontconfig X11::X11 m dl pthread)
vp_external(glu DYNAMIC OpenGL::GLU STATIC ${VP_A_GLU} OpenGL::GL)
vp_external(png DYNAMIC PkgConfig::PNG STATIC ${VP_A_PNG} ${VP_A_Z} m)
vp_external(turbojpeg DYNAMIC PkgConfig::TURBOJPEG STATIC ${VP_A_TURBOJPEG})
