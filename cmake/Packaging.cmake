# Packages, all named with the project's version: the Linux package of nbnx,
# and with the Windows build the installer and the portable zip.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "NB Nimbra")
set(CPACK_PACKAGE_CONTACT "NB Nimbra <info@nbnimbra.example>")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_SOURCE_DIR}/dist)

if(WIN32)
  include(cmake/PackagingWindows.cmake)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME nbnx)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
      "protect single files with a password (NB Nimbra Vexal Edition)")
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "nbnx writes a file into an .nbnx container and back, like the NB Nimbra\nVexal Edition program. A version 1 container hides contents from casual\nreaders. With --strong, nbnx writes the version 2 container instead: a key\nderived from the password with Argon2id, and ChaCha20-Poly1305.")
  set(CPACK_COMPONENTS_ALL programs)
  include(CPack)
endif()
