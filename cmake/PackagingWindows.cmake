# The Windows installer (NSIS) and the portable zip.

# A 64-bit installer: Wine's 64-bit loader, like a 64-bit Windows without its
# 32-bit layer, cannot start NSIS's default 32-bit stub. CPack's own template,
# with the 64-bit target in front, is found first on the module path.
file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in nsis_template)
# Drop the byte-order mark in front of the first comment.
string(FIND "${nsis_template}" ";" first_comment)
string(SUBSTRING "${nsis_template}" ${first_comment} -1 nsis_template)
# The Explorer registration's macros come in at the top as well.
file(WRITE ${CMAKE_BINARY_DIR}/nsis-template/NSIS.template.in
     "Target amd64-unicode
!define NB_SOURCE_DIR \"${CMAKE_SOURCE_DIR}\"
!include \"${CMAKE_SOURCE_DIR}/cmake/ExplorerRegistration.nsh\"
${nsis_template}")
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_BINARY_DIR}/nsis-template)

set(CPACK_GENERATOR "NSIS;ZIP")
set(CPACK_PACKAGE_NAME NBNimbra)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "NB Nimbra Vexal Edition")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "NB Nimbra Vexal Edition")
# Also the Start-menu folder's name.
set(CPACK_NSIS_PACKAGE_NAME "NB Nimbra Vexal Edition")
set(CPACK_NSIS_DISPLAY_NAME "NB Nimbra Vexal Edition")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/resources/NBNimbra.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_SOURCE_DIR}/resources/NBNimbra.ico)
set(CPACK_NSIS_URL_INFO_ABOUT "http://www.nbnimbra.example")
set(CPACK_NSIS_CONTACT "info@nbnimbra.example")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
if(TARGET NBNimbra)
  set(CPACK_PACKAGE_EXECUTABLES NBNimbra "NB Nimbra Vexal Edition")
  set(CPACK_NSIS_INSTALLED_ICON_NAME NBNimbra.exe)
  # The programs sit at the top of the folder, not in bin\.
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
  set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "!insertmacro NBRegisterWithExplorer")
  set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "!insertmacro NBUnregisterFromExplorer")
endif()

# Each package takes its own name and its own parts (see the project config).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackWindowsOptions.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "
if(CPACK_GENERATOR STREQUAL \"NSIS\")
  set(CPACK_PACKAGE_FILE_NAME \"NBNimbra-${PROJECT_VERSION}-setup\")
  set(CPACK_COMPONENTS_ALL programs documentation)
elseif(CPACK_GENERATOR STREQUAL \"ZIP\")
  set(CPACK_PACKAGE_FILE_NAME \"NBNimbra-${PROJECT_VERSION}-win64\")
  set(CPACK_COMPONENTS_ALL programs portable)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
")
set(CPACK_COMPONENTS_ALL programs documentation portable)
set(CPACK_MONOLITHIC_INSTALL OFF)

install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION . COMPONENT documentation)

# libgcrypt and libgpg-error go beside the programs, which import them. The
# system's copies keep their symbols (7.6 MB); stripped copies are made here,
# at build time, and the system's stay as they are.
set(nb_shipped_dll_dir ${CMAKE_BINARY_DIR}/crypto-dlls-stripped)
set(nb_shipped_dlls)
foreach(dll ${NB_CRYPTO_DLLS})
  get_filename_component(dll_name ${dll} NAME)
  set(shipped ${nb_shipped_dll_dir}/${dll_name})
  add_custom_command(OUTPUT ${shipped}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${nb_shipped_dll_dir}
                     COMMAND ${CMAKE_STRIP} --strip-all -o ${shipped} ${dll}
                     DEPENDS ${dll}
                     VERBATIM)
  list(APPEND nb_shipped_dlls ${shipped})
endforeach()
add_custom_target(nb_shipped_crypto_dlls ALL DEPENDS ${nb_shipped_dlls})
install(FILES ${nb_shipped_dlls} DESTINATION . COMPONENT programs)

# Their licence goes with them: what they are and where their source is, the
# copyright notices as Debian ships them (some parts carry notices of their
# own that must travel with the binaries), and the LGPL 2.1 in full.
set(gcrypt_copyright /usr/share/doc/libgcrypt-mingw-w64-dev/copyright)
set(gpg_error_copyright /usr/share/doc/libgpg-error-mingw-w64-dev/copyright)
set(lgpl /usr/share/common-licenses/LGPL-2.1)
set(nb_licence_inputs ${gcrypt_copyright} ${gpg_error_copyright} ${lgpl})
foreach(input ${nb_licence_inputs})
  if(NOT EXISTS ${input})
    message(FATAL_ERROR "${input} is missing: the packages must carry the crypto DLLs' licence")
  endif()
endforeach()
file(READ ${gcrypt_copyright} NB_GCRYPT_COPYRIGHT)
file(READ ${gpg_error_copyright} NB_GPG_ERROR_COPYRIGHT)
file(READ ${lgpl} NB_LGPL_TEXT)
# The versions as their headers give them, for the source's version.
function(nb_header_version header macro out)
  file(STRINGS ${header} line REGEX "^#define ${macro} \"[0-9.]+\"$")
  string(REGEX REPLACE ".*\"([0-9.]+)\".*" "\\1" version "${line}")
  if(version STREQUAL "")
    message(FATAL_ERROR "no ${macro} in ${header}")
  endif()
  set(${out} ${version} PARENT_SCOPE)
endfunction()
nb_header_version(${NB_MINGW_ROOT}/include/gcrypt.h GCRYPT_VERSION NB_GCRYPT_VERSION)
nb_header_version(${NB_MINGW_ROOT}/include/gpg-error.h GPG_ERROR_VERSION NB_GPG_ERROR_VERSION)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${nb_licence_inputs})
configure_file(${CMAKE_SOURCE_DIR}/resources/LICENSE-libgcrypt.txt.in
               ${CMAKE_BINARY_DIR}/LICENSE-libgcrypt.txt @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/LICENSE-libgcrypt.txt DESTINATION . COMPONENT programs)
install(FILES ${CMAKE_SOURCE_DIR}/resources/PORTABLE.txt DESTINATION . COMPONENT portable)

include(CPack)
