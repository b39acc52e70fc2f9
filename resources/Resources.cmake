# nb_add_resources(target internal-name description): gives a Windows program
# the icons, the pictures and the version information.
function(nb_add_resources target internal_name description)
  if(NOT WIN32)
    return()
  endif()
  set(NB_RESOURCE_DIR ${CMAKE_SOURCE_DIR}/resources)
  set(NB_INTERNAL_NAME ${internal_name})
  set(NB_FILE_DESCRIPTION ${description})
  set(rc_file ${CMAKE_BINARY_DIR}/resources/${internal_name}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/resources/NBNimbra.rc.in ${rc_file} @ONLY)
  target_sources(${target} PRIVATE ${rc_file})
  set_property(SOURCE ${rc_file} APPEND PROPERTY OBJECT_DEPENDS
               ${NB_RESOURCE_DIR}/NBNimbra.ico ${NB_RESOURCE_DIR}/NBNimbraDocument.ico
               ${NB_RESOURCE_DIR}/about.bmp ${NB_RESOURCE_DIR}/logo.bmp
               ${NB_RESOURCE_DIR}/about-150.bmp ${NB_RESOURCE_DIR}/logo-150.bmp
               ${NB_RESOURCE_DIR}/about-200.bmp ${NB_RESOURCE_DIR}/logo-200.bmp)
  target_include_directories(${target} PRIVATE ${NB_RESOURCE_DIR})
endfunction()
