# nb_add_resources(target internal-name description MANIFEST program): gives a
# Windows program the manifest of `program` (NBNimbra or nbnx), the icons, the
# pictures and the version information. Test programs that host the window
# take NBNimbra's manifest, so that they run with the same Common Controls.
function(nb_add_resources target internal_name description)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "MANIFEST" "")
  if(NOT arg_MANIFEST MATCHES "^(NBNimbra|nbnx)$")
    message(FATAL_ERROR "nb_add_resources(${target}): MANIFEST NBNimbra or nbnx")
  endif()
  set(NB_RESOURCE_DIR ${CMAKE_SOURCE_DIR}/resources)
  set(NB_INTERNAL_NAME ${internal_name})
  set(NB_FILE_DESCRIPTION ${description})
  nb_configure_manifest(${arg_MANIFEST} NB_MANIFEST_FILE)
  set(rc_file ${CMAKE_BINARY_DIR}/resources/${internal_name}.rc)
  configure_file(${NB_RESOURCE_DIR}/NBNimbra.rc.in ${rc_file} @ONLY)
  target_sources(${target} PRIVATE ${rc_file})
  set_property(SOURCE ${rc_file} APPEND PROPERTY OBJECT_DEPENDS
               ${NB_MANIFEST_FILE} ${NB_RESOURCE_DIR}/NBNimbra.ico
               ${NB_RESOURCE_DIR}/NBNimbraDocument.ico
               ${NB_RESOURCE_DIR}/about.bmp ${NB_RESOURCE_DIR}/logo.bmp
               ${NB_RESOURCE_DIR}/about-150.bmp ${NB_RESOURCE_DIR}/logo-150.bmp
               ${NB_RESOURCE_DIR}/about-200.bmp ${NB_RESOURCE_DIR}/logo-200.bmp)
  target_include_directories(${target} PRIVATE ${NB_RESOURCE_DIR})
endfunction()

# Writes the manifest of `program` and sets out_var to its path. Only the
# window asks for Common Controls 6: visual styles, and comctl32 from the
# system's side-by-side store rather than whatever lies beside the program.
function(nb_configure_manifest program out_var)
  set(NB_MANIFEST_PROGRAM ${program})
  set(NB_MANIFEST_DEPENDENCY "")
  if(program STREQUAL "NBNimbra")
    string(CONCAT NB_MANIFEST_DEPENDENCY
      "  <dependency>\n"
      "    <dependentAssembly>\n"
      "      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\"\n"
      "                        version=\"6.0.0.0\" processorArchitecture=\"*\"\n"
      "                        publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>\n"
      "    </dependentAssembly>\n"
      "  </dependency>\n")
  endif()
  set(manifest ${CMAKE_BINARY_DIR}/resources/${program}.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/resources/NBNimbra.manifest.in ${manifest} @ONLY)
  set(${out_var} ${manifest} PARENT_SCOPE)
endfunction()
